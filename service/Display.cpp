#include "service/Display.h"
#include "service/Format.h"
#include "service/GlyphMap.h"
#include "service/Palette.h"

#include <cmath>

QColor Display::accent() const
{
    return Palette::accent();
}

QColor Display::hairline() const
{
    return Palette::hairline();
}

QColor Display::color(const QString &hex) const
{
    return Palette::color(hex);
}

QVariantList Display::gradient(const QString &a, const QString &b) const
{
    const Palette::Gradient g = Palette::gradient(a, b);
    return {g.start, g.end};
}

QString Display::glyph(const QString &name) const
{
    return GlyphMap::symbol(name);
}

QString Display::compact(double n) const
{
    // QML numbers may be NaN or out of range; those are shown as 0 rather than converted undefined.
    if (!std::isfinite(n) || std::abs(n) > 9e18)
        return ::compact(0);
    return ::compact(static_cast<qint64>(n));
}

QString Display::formatDate(const QString &text) const
{
    return ::formatDate(text);
}
