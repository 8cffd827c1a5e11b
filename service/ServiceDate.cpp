#include "service/ServiceDate.h"

#include <QRegularExpression>
#include <QTimeZone>

using namespace Qt::StringLiterals;

std::optional<QDateTime> parseServiceDate(const QString &text)
{
    // Qt's own ISO parsing accepts more forms than these two, so the form is checked first.
    static const QRegularExpression form(
        u"^(\\d{4})-(\\d{2})-(\\d{2})T(\\d{2}):(\\d{2}):(\\d{2})(?:\\.(\\d{1,9}))?(?:([Zz])|([+-])(\\d{2}):?(\\d{2}))$"_s);
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const auto number = [&m](int group) { return m.capturedView(group).toInt(); };
    const QDate date(number(1), number(2), number(3));
    const QTime time(number(4), number(5), number(6),
                     m.capturedView(7).left(3).toString().leftJustified(3, u'0').toInt());
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    int offsetSeconds = 0;
    if (m.capturedLength(8) == 0) {
        const int hours = number(10);
        const int minutes = number(11);
        if (hours > 23 || minutes > 59)
            return std::nullopt;
        offsetSeconds = (hours * 3600 + minutes * 60) * (m.capturedView(9) == u"-" ? -1 : 1);
    }
    return QDateTime(date, time, QTimeZone(offsetSeconds));
}
