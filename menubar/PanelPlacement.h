#pragma once
// Where the quick search panel opens: under (or above) the tray icon it drops from, kept inside the screen's
// free area; centred near the top of that area when there is no icon (opened from the menu or a launch).
#include <QPoint>
#include <QRect>
#include <QSize>

// `icon` is the tray icon's geometry (empty when unknown), `available` the free area of its screen.
[[nodiscard]] QPoint panelPosition(const QRect &icon, const QSize &panel, const QRect &available);
