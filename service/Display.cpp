#include "service/Display.h"
#include "service/Format.h"
#include "service/GlyphMap.h"
#include "service/Palette.h"

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
    return ::compact(static_cast<qint64>(n));
}

QString Display::formatDate(const QString &text) const
{
    return ::formatDate(text);
}
