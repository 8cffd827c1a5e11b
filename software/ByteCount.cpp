#include "software/ByteCount.h"

#include <array>

using namespace Qt::StringLiterals;

namespace {

struct Unit
{
    const char16_t *name;
    quint64 size;
    int fractionDigits;
};

constexpr std::array<Unit, 6> kUnits{{
    {u"KB", 1000ULL, 0},
    {u"MB", 1000ULL * 1000, 1},
    {u"GB", 1000ULL * 1000 * 1000, 2},
    {u"TB", 1000ULL * 1000 * 1000 * 1000, 2},
    {u"PB", 1000ULL * 1000 * 1000 * 1000 * 1000, 2},
    {u"EB", 1000ULL * 1000 * 1000 * 1000 * 1000 * 1000, 2},
}};

constexpr quint64 pow10(int n)
{
    quint64 p = 1;
    while (n-- > 0)
        p *= 10;
    return p;
}

// bytes / step rounded half to even, in exact integer arithmetic (doubles would misround 1.35 and the like).
quint64 roundedSteps(quint64 bytes, quint64 step)
{
    const quint64 q = bytes / step;
    const quint64 r = bytes % step;
    const quint64 twice = 2 * r;
    if (twice > step || (twice == step && (q % 2) == 1))
        return q + 1;
    return q;
}

QString unitText(quint64 steps, int fractionDigits, const char16_t *unit)
{
    const quint64 scale = pow10(fractionDigits);
    QString text = QString::number(steps / scale);
    QString fraction = QString::number(steps % scale).rightJustified(fractionDigits, u'0');
    while (fraction.endsWith(u'0'))
        fraction.chop(1);
    if (!fraction.isEmpty())
        text += u'.' + fraction;
    return text + u' ' + QString::fromUtf16(unit);
}

QString positiveByteCount(quint64 bytes)
{
    if (bytes == 0)
        return u"Zero KB"_s;
    if (bytes == 1)
        return u"1 byte"_s;
    if (bytes < 1000)
        return QString::number(bytes) + u" bytes"_s;

    size_t index = 0;
    while (index + 1 < kUnits.size() && bytes >= kUnits[index + 1].size)
        ++index;
    for (; index < kUnits.size(); ++index) {
        const Unit &unit = kUnits[index];
        const quint64 step = unit.size / pow10(unit.fractionDigits);
        const quint64 steps = roundedSteps(bytes, step);
        // Rounding up to 1000 of a unit moves on to the next unit (999,500 bytes is "1 MB", not "1000 KB").
        if (steps < 1000 * pow10(unit.fractionDigits) || index + 1 == kUnits.size())
            return unitText(steps, unit.fractionDigits, unit.name);
    }
    return {};
}

} // namespace

QString fileByteCount(qint64 bytes)
{
    if (bytes < 0)
        return u'-' + positiveByteCount(0ULL - static_cast<quint64>(bytes));
    return positiveByteCount(static_cast<quint64>(bytes));
}
