#include "menubar/PanelPlacement.h"

#include <algorithm>

namespace {

constexpr int gap = 4;

} // namespace

QPoint panelPosition(const QRect &icon, const QSize &panel, const QRect &available)
{
    QPoint at;
    if (icon.isEmpty()) {
        at = QPoint(available.center().x() - panel.width() / 2, available.top() + available.height() / 6);
    } else {
        at.setX(icon.center().x() - panel.width() / 2);
        // A tray in the lower half (a bottom panel) opens the panel upwards.
        const bool below = icon.center().y() < available.center().y();
        at.setY(below ? icon.bottom() + 1 + gap : icon.top() - gap - panel.height());
    }
    at.setX(std::clamp(at.x(), available.left(), std::max(available.left(), available.right() + 1 - panel.width())));
    at.setY(std::clamp(at.y(), available.top(), std::max(available.top(), available.bottom() + 1 - panel.height())));
    return at;
}
