// The freedesktop.org Trash (files/ and info/ under the user's data folder), as Linux desktops keep it.
#include "software/Trash.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QUrl>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

bool makeFolder(const QByteArray &path)
{
    if (::mkdir(path.constData(), 0700) == 0)
        return true;
    const int mkdirError = errno;
    struct stat st;
    if (::stat(path.constData(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            return true;
        errno = ENOTDIR;
        return false;
    }
    errno = mkdirError;
    return false;
}

// Creates every missing folder along an absolute path, as the Trash's own folders are: private to the user.
bool makeFolders(const QByteArray &path)
{
    for (qsizetype i = 1; i <= path.size(); ++i) {
        if ((i == path.size() || path.at(i) == '/') && !makeFolder(path.left(i)))
            return false;
    }
    return true;
}

bool writeAll(int fd, const QByteArray &data)
{
    qsizetype done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.constData() + done, data.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

// rename() that never replaces an item already in the Trash under that name.
int renameNoReplace(const QByteArray &from, const QByteArray &to)
{
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return -1;
    // The file system cannot refuse to replace; check first instead.
    struct stat existing;
    if (::lstat(to.constData(), &existing) == 0) {
        errno = EEXIST;
        return -1;
    }
    return ::rename(from.constData(), to.constData());
}

// "Foo.app", then "Foo 2.app", "Foo 3.app", ...
QString candidateName(const QString &fileName, int attempt)
{
    if (attempt == 1)
        return fileName;
    const qsizetype dot = fileName.lastIndexOf(u'.');
    if (dot <= 0)
        return fileName + u' ' + QString::number(attempt);
    return fileName.left(dot) + u' ' + QString::number(attempt) + fileName.sliced(dot);
}

QByteArray trashInfo(const QString &absolutePath)
{
    const QByteArray encoded = QUrl::toPercentEncoding(absolutePath, "/");
    const QByteArray date = QDateTime::currentDateTime().toString(u"yyyy-MM-ddTHH:mm:ss"_s).toLatin1();
    return "[Trash Info]\nPath=" + encoded + "\nDeletionDate=" + date + "\n";
}

} // namespace

namespace Trash {

QString homeTrash()
{
    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (!QDir::isAbsolutePath(dataHome))
        dataHome = QDir::homePath() + u"/.local/share"_s;
    return QDir::cleanPath(dataHome + u"/Trash"_s);
}

std::optional<TrashError> moveToTrash(const QString &path)
{
    const QString absolutePath = QDir::cleanPath(QDir(path).absolutePath());
    const QByteArray source = QFile::encodeName(absolutePath);
    struct stat item;
    if (::lstat(source.constData(), &item) != 0)
        return errorFromErrno(errno);

    const QByteArray trash = QFile::encodeName(homeTrash());
    const QByteArray files = trash + "/files";
    const QByteArray info = trash + "/info";
    for (const QByteArray &folder : {files, info}) {
        if (!makeFolders(folder))
            return errorFromErrno(errno);
    }

    const QString fileName = absolutePath.section(u'/', -1);
    const QByteArray record = trashInfo(absolutePath);
    for (int attempt = 1;; ++attempt) {
        const QByteArray name = QFile::encodeName(candidateName(fileName, attempt));
        const QByteArray infoPath = info + '/' + name + ".trashinfo";
        const QByteArray target = files + '/' + name;
        // The exclusive create of the .trashinfo reserves the name against other programs using the same Trash.
        const int fd = ::open(infoPath.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return errorFromErrno(errno);
        }
        const bool written = writeAll(fd, record);
        const int writeError = errno;
        ::close(fd);
        if (!written) {
            ::unlink(infoPath.constData());
            return errorFromErrno(writeError ? writeError : EIO);
        }
        // A rename never copies: across file systems it fails with EXDEV and the item stays where it was.
        if (renameNoReplace(source, target) != 0) {
            const int renameError = errno;
            ::unlink(infoPath.constData());
            if (renameError == EEXIST)
                continue;
            return errorFromErrno(renameError);
        }
        return std::nullopt;
    }
}

} // namespace Trash
