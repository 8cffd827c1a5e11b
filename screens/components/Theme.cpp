#include "screens/components/Theme.h"

#include "screens/components/Symbols.h"
#include "screens/components/Format.h"
#include "screens/components/GlyphMap.h"
#include "screens/components/Palette.h"

#include <QFontDatabase>

#include <algorithm>
#include <cmath>

Theme *Theme::create(QQmlEngine *, QJSEngine *)
{
    static Theme *instance = [] {
        auto *t = new Theme;
        QJSEngine::setObjectOwnership(t, QJSEngine::CppOwnership);
        return t;
    }();
    return instance;
}

QString Theme::fontFamily()
{
#ifdef Q_OS_MACOS
    static const QString family = QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    return family;
#else
    return QStringLiteral("Noto Sans CJK SC");
#endif
}

QString Theme::symbolFamily()
{
    return Symbols::family();
}

QColor Theme::hairline()
{
    return Palette::hairline();
}

QColor Theme::accent()
{
    return Palette::accent();
}

QVariantList Theme::windowButtons()
{
    return {QColor::fromRgbF(1.0f, 0.37f, 0.34f), QColor::fromRgbF(0.99f, 0.74f, 0.18f),
            QColor::fromRgbF(0.16f, 0.78f, 0.25f)};
}

QColor Theme::tint(const QColor &color, double alpha) const
{
    QColor result = color;
    result.setAlphaF(static_cast<float>(std::clamp(alpha, 0.0, 1.0)));
    return result;
}

QColor Theme::color(const QString &hex) const
{
    return Palette::color(hex);
}

QVariantList Theme::gradient(const QString &a, const QString &b) const
{
    const Palette::Gradient g = Palette::gradient(a, b);
    return {g.start, g.end};
}

QString Theme::glyph(const QString &name) const
{
    return GlyphMap::symbol(name);
}

QString Theme::symbol(const QString &name) const
{
    return QString(QChar(Symbols::codePoint(name)));
}

bool Theme::knownSymbol(const QString &name) const
{
    return Symbols::contains(name);
}

QString Theme::compact(double n) const
{
    // QML numbers may be NaN or out of range; those are shown as 0 rather than converted undefined.
    if (!std::isfinite(n) || std::abs(n) > 9e18)
        return ::compact(0);
    return ::compact(static_cast<qint64>(n));
}

QString Theme::formatDate(const QString &text) const
{
    return ::formatDate(text);
}

QString Theme::formatDateTime(const QDateTime &moment) const
{
    return ::formatDateTime(moment);
}
