#include "software/UpdateMatch.h"

#include <QList>

#include <algorithm>
#include <limits>

namespace {

// A piece counts only when it is entirely a decimal whole number with an optional leading sign; anything else
// (3b, beta, " 5", an overflow) counts as 0.
qlonglong pieceValue(QStringView piece)
{
    qsizetype i = 0;
    const bool negative = !piece.isEmpty() && piece[0] == u'-';
    if (!piece.isEmpty() && (piece[0] == u'-' || piece[0] == u'+'))
        ++i;
    if (i == piece.size())
        return 0;
    qlonglong value = 0;
    for (; i < piece.size(); ++i) {
        const char16_t c = piece[i].unicode();
        if (c < u'0' || c > u'9')
            return 0;
        const int digit = c - u'0';
        if (value > (std::numeric_limits<qlonglong>::max() - digit) / 10)
            return 0;
        value = value * 10 + digit;
    }
    return negative ? -value : value;
}

QList<qlonglong> versionNumbers(const QString &version)
{
    QList<qlonglong> numbers;
    for (QStringView piece : QStringView(version).split(u'.', Qt::SkipEmptyParts))
        numbers.append(pieceValue(piece));
    return numbers;
}

} // namespace

namespace UpdateMatch {

QHash<QString, StoreApp> storeTable(const StoreHome &home)
{
    QHash<QString, StoreApp> table;
    for (const QList<StoreApp> *list : {&home.featured, &home.top, &home.latest}) {
        for (const StoreApp &app : *list) {
            if (!table.contains(app.name))
                table.insert(app.name, app);
        }
    }
    return table;
}

std::optional<StoreApp> match(const QHash<QString, StoreApp> &table, const QString &localName)
{
    const auto found = table.constFind(localName);
    if (found == table.constEnd())
        return std::nullopt;
    return *found;
}

bool isNewer(const QString &candidate, const QString &installed)
{
    const QList<qlonglong> a = versionNumbers(candidate);
    const QList<qlonglong> b = versionNumbers(installed);
    const qsizetype length = std::max(a.size(), b.size());
    for (qsizetype i = 0; i < length; ++i) {
        const qlonglong left = i < a.size() ? a[i] : 0;
        const qlonglong right = i < b.size() ? b[i] : 0;
        if (left != right)
            return left > right;
    }
    return false;
}

} // namespace UpdateMatch
