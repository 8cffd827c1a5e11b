// The macOS Trash: the file manager moves the item and names the folder.
#include "software/Trash.h"

#import <Foundation/Foundation.h>

namespace Trash {

QString homeTrash()
{
    @autoreleasepool {
        NSURL *trash = [[NSFileManager defaultManager] URLForDirectory:NSTrashDirectory
                                                              inDomain:NSUserDomainMask
                                                     appropriateForURL:nil
                                                                create:NO
                                                                 error:nil];
        return trash ? QString::fromNSString(trash.path) : QString();
    }
}

std::optional<TrashError> moveToTrash(const QString &path)
{
    @autoreleasepool {
        NSURL *item = [NSURL fileURLWithPath:path.toNSString()];
        NSError *error = nil;
        if ([[NSFileManager defaultManager] trashItemAtURL:item resultingItemURL:nil error:&error])
            return std::nullopt;
        if (!error)
            return TrashError{cocoaDomain.toString(), 0, QString()};
        return TrashError{QString::fromNSString(error.domain), int(error.code),
                          QString::fromNSString(error.localizedDescription)};
    }
}

} // namespace Trash
