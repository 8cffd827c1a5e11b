#include "software/BundleIcon.h"

#import <AppKit/AppKit.h>

#include <algorithm>

namespace BundleIcon {

QImage workspaceIcon(const QString &bundlePath, const QSize &size)
{
    @autoreleasepool {
        const int side = size.isValid() && !size.isEmpty() ? std::min(size.width(), size.height()) : 128;
        NSImage *icon = [[NSWorkspace sharedWorkspace] iconForFile:bundlePath.toNSString()];
        NSRect proposed = NSMakeRect(0, 0, side, side);
        CGImageRef picture = icon ? [icon CGImageForProposedRect:&proposed context:nil hints:nil] : nullptr;
        if (!picture)
            return {};
        // Drawn straight into the image's pixels: premultiplied ARGB in host byte order is Qt's ARGB32 layout.
        QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        CGColorSpaceRef space = CGColorSpaceCreateWithName(kCGColorSpaceSRGB);
        CGContextRef context = CGBitmapContextCreate(image.bits(), side, side, 8, image.bytesPerLine(), space,
                                                     kCGImageAlphaPremultipliedFirst | kCGBitmapByteOrder32Host);
        CGColorSpaceRelease(space);
        if (!context)
            return {};
        CGContextSetInterpolationQuality(context, kCGInterpolationHigh);
        CGContextDrawImage(context, CGRectMake(0, 0, side, side), picture);
        CGContextRelease(context);
        return image;
    }
}

} // namespace BundleIcon
