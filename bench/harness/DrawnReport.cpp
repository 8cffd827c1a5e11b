#include "DrawnReport.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QQuickWindow>

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
    // frameSwapped may come from the render thread; report from the GUI thread, once.
    auto reported = std::make_shared<bool>(false);
    QObject::connect(
        window, &QQuickWindow::frameSwapped, QCoreApplication::instance(),
        [reported] {
            if (std::exchange(*reported, true))
                return;
            std::printf("drawn-ms: %lld rss-kb: %lld\n", static_cast<long long>(QDateTime::currentMSecsSinceEpoch()),
                        static_cast<long long>(residentKilobytes()));
            std::fflush(stdout);
            QCoreApplication::exit(0);
        },
        Qt::QueuedConnection);
    window->update();
}
