#include "screens/wallpapers/DesktopWallpaper.h"

#import <AppKit/AppKit.h>

namespace DesktopWallpaper {

// Sets the picture on every screen, as the system's own settings do.
QCoro::Task<Outcome> applyOnMac(QString path)
{
    NSURL *url = [NSURL fileURLWithPath:path.toNSString()];
    bool ok = true;
    for (NSScreen *screen in [NSScreen screens]) {
        NSError *error = nil;
        if (![[NSWorkspace sharedWorkspace] setDesktopImageURL:url forScreen:screen options:@{} error:&error])
            ok = false;
    }
    co_return ok ? Outcome::applied : Outcome::failed;
}

} // namespace DesktopWallpaper
