#include "software/NameOrder.h"

namespace NameOrder {

QCollator collator(const QLocale &locale)
{
    const bool own = locale.language() != QLocale::C && locale.language() != QLocale::AnyLanguage;
    QCollator collator(own ? locale : QLocale(QLocale::Chinese, QLocale::China));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(false);
    return collator;
}

} // namespace NameOrder
