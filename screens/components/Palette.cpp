#include "screens/components/Palette.h"

#include <QGuiApplication>
#include <QPalette>

namespace Palette {

QColor standardBlue()
{
    return QColor::fromRgb(0, 122, 255);
}

QColor color(const QString &hex)
{
    QStringView text = QStringView(hex).trimmed();
    if (text.startsWith(u'#'))
        text = text.mid(1);
    if (text.size() != 6)
        return standardBlue();
    // Checked by hand: toUInt would also take a sign, a "0x" prefix or surrounding blanks.
    const auto isHexDigit = [](QChar c) {
        return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
    };
    if (!std::all_of(text.begin(), text.end(), isHexDigit))
        return standardBlue();
    const uint value = text.toUInt(nullptr, 16);
    return QColor::fromRgb((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
}

Gradient gradient(const QString &a, const QString &b)
{
    return {color(a), color(b)};
}

QColor accent()
{
    static const QColor value = QColor::fromRgbF(0.04f, 0.52f, 1.0f, 1.0f);
    return value;
}

QColor hairline()
{
    // The primary text colour of the running app (black without one) at 8 % opacity.
    static const QColor value = [] {
        QColor text = qGuiApp ? QGuiApplication::palette().color(QPalette::WindowText) : QColor(Qt::black);
        text.setAlphaF(0.08f);
        return text;
    }();
    return value;
}

} // namespace Palette
