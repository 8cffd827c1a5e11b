#pragma once
// Colours named by the service's records (hex texts such as "#0A84FF") and the app's fixed colours.
#include <QColor>
#include <QString>

namespace Palette {

struct Gradient
{
    QColor start; // at the top-leading corner
    QColor end; // at the bottom-trailing corner
};

// "#RRGGBB" or "RRGGBB" (either case, surrounding white space ignored); anything else is standardBlue().
QColor color(const QString &hex);
Gradient gradient(const QString &a, const QString &b);
QColor standardBlue();
QColor accent();
QColor hairline();

} // namespace Palette
