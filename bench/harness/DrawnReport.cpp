#include "DrawnReport.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QQuickWindow>

#include <atomic>
#include <cstdio>
#include <ctime>
#include <functional>

#ifdef Q_OS_LINUX
#include <pthread.h>
#endif

using namespace Qt::Literals::StringLiterals;

namespace {

qint64 residentKilobytes()
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

// The processor time the calling thread has used so far, read later from any thread; -1 where unsupported.
std::function<qint64()> threadCpuMilliseconds()
{
#ifdef Q_OS_LINUX
    clockid_t clock;
    if (pthread_getcpuclockid(pthread_self(), &clock) == 0) {
        return [clock] {
            timespec ts{};
            return clock_gettime(clock, &ts) == 0 ? qint64(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000 : -1;
        };
    }
#endif
    return [] { return qint64(-1); };
}

} // namespace

void reportWhenDrawn(QQuickWindow *window)
{
    // The figures are taken as the frame is swapped (possibly on the render thread), before anything the app does
    // once the frame is up; the program ends from the GUI thread. Once. The GUI thread's processor time tells the
    // work done from the waiting (process start, the window system, the QML loader thread).
    auto reported = std::make_shared<std::atomic_bool>(false);
    const std::function<qint64()> guiCpu = threadCpuMilliseconds();
    QObject::connect(
        window, &QQuickWindow::frameSwapped, window,
        [reported, guiCpu] {
            if (reported->exchange(true))
                return;
            std::printf("drawn-ms: %lld rss-kb: %lld gui-cpu-ms: %lld\n",
                        static_cast<long long>(QDateTime::currentMSecsSinceEpoch()),
                        static_cast<long long>(residentKilobytes()), static_cast<long long>(guiCpu()));
            std::fflush(stdout);
            QMetaObject::invokeMethod(
                QCoreApplication::instance(), [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
        },
        Qt::DirectConnection);
    window->update();
}
