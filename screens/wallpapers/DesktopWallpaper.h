#pragma once
// Makes a saved picture the desktop background: on macOS through the workspace's desktop image, elsewhere
// through the desktop portal's wallpaper call (org.freedesktop.portal.Wallpaper) on the session bus.
#include <QString>

#include <QCoro/QCoroTask>

namespace DesktopWallpaper {

enum class Outcome {
    applied,
    cancelled, // the user declined in the portal's dialog
    failed, // the portal or the workspace answered with an error
    unavailable, // nothing answers for the portal (no session bus, no portal service)
};

// Portal replies wait at most this long; the portal may first show the user a preview.
constexpr int portalTimeoutMs = 60'000;

QCoro::Task<Outcome> apply(QString path);
// The toast that reports an outcome.
QString message(Outcome outcome);

} // namespace DesktopWallpaper
