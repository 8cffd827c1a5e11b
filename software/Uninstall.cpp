#include "software/Uninstall.h"

#include "software/SoftwareScanner.h"

#include <QDir>
#include <QFile>
#include <QtConcurrent/QtConcurrentRun>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace Uninstall {

bool itemExists(const QString &path)
{
    // lstat, not stat: a bundle that is a dangling link is still there to be removed (and a rescan lists it).
    struct stat st;
    return !path.isEmpty() && ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

QString parentFolder(const QString &path)
{
    const QString clean = QDir::cleanPath(QDir(path).absolutePath());
    const qsizetype slash = clean.lastIndexOf(u'/');
    return slash <= 0 ? u"/"_s : clean.left(slash);
}

bool isWritableFolder(const QString &folder)
{
    // The effective user is the one whose rights the move will use.
    return ::faccessat(AT_FDCWD, QFile::encodeName(folder).constData(), W_OK, AT_EACCESS) == 0;
}

QString permissionMessage(const QString &parent)
{
    if (parent == u"/Applications")
        return u"「/Applications」需要管理员权限才能删除。\n"
               u"请在 Finder 中把该应用拖到废纸篓（系统会要求输入密码），\n"
               u"或用「在 Finder 中显示」找到它手动删除。"_s;
    return u"没有写入权限，无法删除该应用。\n请检查「"_s + parent + u"」的访问权限，或用 Finder 手动删除。"_s;
}

bool isSystemComponent(const QString &path)
{
    return path.contains(u"/System/") || path.contains(u"/Library/CoreServices/");
}

QString trashFailureMessage(const TrashError &error)
{
    if (error.domain == Trash::cocoaDomain && error.code == Trash::noWritePermission)
        return u"没有删除权限。\n请在 Finder 中把该应用拖到废纸篓，并输入管理员密码。"_s;
    if (error.code == Trash::noSuchFile)
        return goneMessage.toString();
    return u"卸载失败（"_s + QString::number(error.code) + u"）："_s + error.description +
        u"\n可尝试用 Finder 手动删除。"_s;
}

} // namespace Uninstall

namespace SoftwareScanner {

namespace {
UninstallResult refused(QString reason)
{
    return {false, std::move(reason)};
}
} // namespace

UninstallResult uninstallNow(const QString &path)
{
    if (!Uninstall::itemExists(path))
        return refused(Uninstall::goneMessage.toString());
    const QString parent = Uninstall::parentFolder(path);
    if (!Uninstall::isWritableFolder(parent))
        return refused(Uninstall::permissionMessage(parent));
    if (Uninstall::isSystemComponent(path))
        return refused(Uninstall::protectedMessage.toString());
    if (const std::optional<TrashError> error = Trash::moveToTrash(path))
        return refused(Uninstall::trashFailureMessage(*error));
    return {true, std::nullopt};
}

QFuture<UninstallResult> uninstall(const QString &path)
{
    return QtConcurrent::run([path] { return uninstallNow(path); });
}

} // namespace SoftwareScanner
