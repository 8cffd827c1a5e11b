#pragma once

#include "software/Trash.h"

#include <QString>

// The decisions of an uninstall, one function per rule, in the order SoftwareScanner::uninstallNow applies them.
namespace Uninstall {

inline constexpr QStringView goneMessage = u"应用已不存在，请重新扫描";
inline constexpr QStringView protectedMessage = u"该应用属于系统组件，受系统完整性保护（SIP），无法卸载。";

// Whether anything (a dangling link included) is at path.
[[nodiscard]] bool itemExists(const QString &path);

// The folder holding the bundle: "/Applications" for "/Applications/Foo.app".
[[nodiscard]] QString parentFolder(const QString &path);

// Whether the current user may write into folder.
[[nodiscard]] bool isWritableFolder(const QString &folder);

// What to tell the user when the folder holding the bundle is not writable.
[[nodiscard]] QString permissionMessage(const QString &parent);

// Plain, case-sensitive substring tests for "/System/" and "/Library/CoreServices/".
[[nodiscard]] bool isSystemComponent(const QString &path);

// What to tell the user when moving to the Trash failed.
[[nodiscard]] QString trashFailureMessage(const TrashError &error);

} // namespace Uninstall
