#include "DrawnReport.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QQuickWindow>

#include <atomic>
#include <cstdio>

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

} // namespace

void reportWhenDrawn(QQuickWindow *window)
{
    // The figures are taken as the frame is swapped (possibly on the render thread), before anything the app does
    // once the frame is up; the program ends from the GUI thread. Once.
    auto reported = std::make_shared<std::atomic_bool>(false);
    QObject::connect(
        window, &QQuickWindow::frameSwapped, window,
        [reported] {
            if (reported->exchange(true))
                return;
            std::printf("drawn-ms: %lld rss-kb: %lld\n", static_cast<long long>(QDateTime::currentMSecsSinceEpoch()),
                        static_cast<long long>(residentKilobytes()));
            std::fflush(stdout);
            QMetaObject::invokeMethod(
                QCoreApplication::instance(), [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
        },
        Qt::DirectConnection);
    window->update();
}
