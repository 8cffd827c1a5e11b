#pragma once

#include <QString>

#include <optional>

// Why an item could not be moved to the Trash, in the shape the platform reports it: an error domain, a code
// and the system's own description. "No such file" is the Cocoa code 4 and "permission denied" the Cocoa
// code 513; every other failure keeps its POSIX error number.
struct TrashError
{
    QString domain;
    int code = 0;
    QString description;

    friend bool operator==(const TrashError &, const TrashError &) = default;
};

namespace Trash {

inline constexpr QStringView cocoaDomain = u"NSCocoaErrorDomain";
inline constexpr QStringView posixDomain = u"NSPOSIXErrorDomain";
inline constexpr int noSuchFile = 4;
inline constexpr int noWritePermission = 513;

// The platform's side (Trash_mac.mm, Trash_linux.cpp):

// The user's Trash folder: the one the system names on macOS (~/.Trash); $XDG_DATA_HOME/Trash, or
// ~/.local/share/Trash, elsewhere.
[[nodiscard]] QString homeTrash();

// Moves the item (a link is moved, not followed) into the user's Trash. On macOS the file manager does it and
// its NSError is returned as it is; elsewhere a single rename with a .trashinfo record: an item on another file
// system is refused, never copied and deleted.
[[nodiscard]] std::optional<TrashError> moveToTrash(const QString &path);

// The error for a failed system call's errno.
[[nodiscard]] TrashError errorFromErrno(int error);

} // namespace Trash
