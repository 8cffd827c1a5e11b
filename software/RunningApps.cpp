#include "software/RunningApps.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_MACOS
#include <libproc.h>
#include <vector>
#endif

namespace {

bool below(const QString &executable, const QString &bundle)
{
    return !executable.isEmpty() && executable.startsWith(bundle + u'/');
}

} // namespace

namespace RunningApps {

bool isRunning(const QString &bundlePath)
{
    const QString bundle = QFileInfo(bundlePath).canonicalFilePath();
    if (bundle.isEmpty())
        return false;
#ifdef Q_OS_MACOS
    const int count = ::proc_listallpids(nullptr, 0);
    if (count <= 0)
        return false;
    std::vector<pid_t> pids(static_cast<size_t>(count) + 16);
    const int listed = ::proc_listallpids(pids.data(), static_cast<int>(pids.size() * sizeof(pid_t)));
    char path[PROC_PIDPATHINFO_MAXSIZE];
    for (int i = 0; i < listed; ++i) {
        if (::proc_pidpath(pids[static_cast<size_t>(i)], path, sizeof(path)) > 0 &&
            below(QFile::decodeName(path), bundle))
            return true;
    }
    return false;
#else
    const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &pid : pids) {
        bool number = false;
        pid.toInt(&number);
        if (!number)
            continue;
        const QString proc = QStringLiteral("/proc/") + pid;
        if (below(QFileInfo(proc + QStringLiteral("/exe")).symLinkTarget(), bundle))
            return true;
        // A script's process runs its interpreter; the script is the next argument.
        QFile cmdline(proc + QStringLiteral("/cmdline"));
        if (cmdline.open(QIODevice::ReadOnly)) {
            const QList<QByteArray> args = cmdline.read(8192).split('\0');
            if (args.size() > 1 && below(QFileInfo(QFile::decodeName(args[1])).absoluteFilePath(), bundle))
                return true;
        }
    }
    return false;
#endif
}

} // namespace RunningApps
