#include "software/SoftwareScanner.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QSet>
#include <QThread>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentMap>
#include <QtConcurrent/QtConcurrentRun>

#include <plist/plist.h>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// An Info.plist is a few kilobytes; anything far larger is not one and is not read into memory.
constexpr qint64 kMaxPropertyListBytes = 16 * 1024 * 1024;

int openRetrying(const char *path, int flags)
{
    int fd;
    do {
        fd = ::open(path, flags);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

// The bytes of a regular file, or nothing. Opened non-blocking so a FIFO named Info.plist cannot hang a scan.
std::optional<QByteArray> readRegularFile(const QString &path)
{
    const int fd = openRetrying(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return std::nullopt;
    const auto closeFd = qScopeGuard([fd] { ::close(fd); });
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > kMaxPropertyListBytes)
        return std::nullopt;
    QByteArray data;
    data.resize(st.st_size);
    qsizetype done = 0;
    while (done < data.size()) {
        const ssize_t n = ::read(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return std::nullopt;
        if (n == 0)
            break;
        done += n;
    }
    data.truncate(done);
    return data;
}

struct PlistDeleter
{
    void operator()(plist_t node) const { plist_free(node); }
};
using PlistPtr = std::unique_ptr<void, PlistDeleter>;

std::optional<QString> stringValue(plist_t dict, const char *key)
{
    plist_t node = plist_dict_get_item(dict, key);
    if (!node || plist_get_node_type(node) != PLIST_STRING)
        return std::nullopt;
    uint64_t length = 0;
    const char *text = plist_get_string_ptr(node, &length);
    return QString::fromUtf8(text, static_cast<qsizetype>(length));
}

std::optional<QString> firstString(plist_t dict, std::initializer_list<const char *> keys)
{
    for (const char *key : keys) {
        if (auto value = stringValue(dict, key))
            return value;
    }
    return std::nullopt;
}

qint64 sumTree(int dirFd);

// Size of one entry of an open folder, plus everything below it when it is a real folder (not a link).
qint64 entrySize(int dirFd, const char *name)
{
    struct stat st;
    if (::fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
        return 0;
    qint64 total = st.st_size;
    if (S_ISDIR(st.st_mode)) {
        const int childFd = ::openat(dirFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (childFd >= 0)
            total += sumTree(childFd);
    }
    return total;
}

// Takes ownership of dirFd. Walks with file descriptors so each item costs one fstatat on a short name.
qint64 sumTree(int dirFd)
{
    DIR *dir = ::fdopendir(dirFd);
    if (!dir) {
        ::close(dirFd);
        return 0;
    }
    qint64 total = 0;
    while (const dirent *entry = ::readdir(dir)) {
        const char *name = entry->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
            continue;
        total += entrySize(dirFd, name);
    }
    ::closedir(dir);
    return total;
}

// "app" after the last dot, case-sensitive; a name that only starts with a dot (".app") has no extension.
bool hasAppExtension(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot > 0 && QStringView(name).sliced(dot + 1) == u"app";
}

QStringList bundlePaths(const QStringList &roots)
{
    QStringList paths;
    QSet<QString> seen;
    for (const QString &root : roots) {
        const QDir dir(root);
        const QStringList names =
            dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
        for (const QString &name : names) {
            if (!hasAppExtension(name))
                continue;
            const QString path = QDir::cleanPath(root + u'/' + name);
            if (seen.contains(path))
                continue;
            seen.insert(path);
            paths.append(path);
        }
    }
    return paths;
}

QString nameFromFile(const QString &bundlePath)
{
    const QString file = bundlePath.section(u'/', -1);
    return file.left(file.lastIndexOf(u'.'));
}

LocalApp describeBundle(const QString &path)
{
    const SoftwareScanner::BundleInfo info = SoftwareScanner::readBundleInfo(path);
    return LocalApp(path, info.name.value_or(nameFromFile(path)), info.version.value_or(u"未知"_s),
                    info.bundleId.value_or(QString()), SoftwareScanner::directorySize(path));
}

} // namespace

namespace SoftwareScanner {

QStringList defaultRoots(const QString &home)
{
    const QString homeFolder = home.isEmpty() ? QDir::homePath() : home;
    return {u"/Applications"_s, expandTilde(u"~/Applications"_s, homeFolder)};
}

QString expandTilde(const QString &path, const QString &home)
{
    if (path == u"~")
        return QDir::cleanPath(home);
    if (path.startsWith(u"~/"))
        return QDir::cleanPath(home + path.sliced(1));
    return path;
}

QList<LocalApp> scan()
{
    return scan(defaultRoots());
}

QList<LocalApp> scan(const QStringList &roots)
{
    // Listing is cheap; measuring is what takes time, so bundles are described in parallel on the global pool.
    // blockingMapped keeps the input order; the calling thread mostly just waits for the pool's threads. On a
    // thread of that pool (a background scan) it hands its slot back meanwhile, else one thread fewer measures.
    const QStringList paths = bundlePaths(roots);
    QThreadPool *pool = QThreadPool::globalInstance();
    const bool onPool = pool->contains(QThread::currentThread());
    if (onPool)
        pool->releaseThread();
    const auto reserve = qScopeGuard([pool, onPool] {
        if (onPool)
            pool->reserveThread();
    });
    return QtConcurrent::blockingMapped<QList<LocalApp>>(paths, describeBundle);
}

QFuture<QList<LocalApp>> scanInBackground(const QStringList &roots)
{
    return QtConcurrent::run([roots] { return scan(roots); });
}

BundleInfo readBundleInfo(const QString &bundlePath)
{
    const std::optional<QByteArray> data = readRegularFile(bundlePath + u"/Contents/Info.plist"_s);
    if (!data || data->isEmpty())
        return {};
    plist_t parsed = nullptr;
    plist_from_memory(data->constData(), static_cast<uint32_t>(data->size()), &parsed);
    const PlistPtr root(parsed);
    if (!root || plist_get_node_type(root.get()) != PLIST_DICT)
        return {};
    return {
        firstString(root.get(), {"CFBundleDisplayName", "CFBundleName"}),
        firstString(root.get(), {"CFBundleShortVersionString", "CFBundleVersion"}),
        stringValue(root.get(), "CFBundleIdentifier"),
    };
}

qint64 directorySize(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = openRetrying(name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0)
        return sumTree(fd);
    // A bundle that is a link measures as the link itself, never as what it points to.
    struct stat st;
    return ::lstat(name.constData(), &st) == 0 && S_ISLNK(st.st_mode) ? st.st_size : 0;
}

} // namespace SoftwareScanner
