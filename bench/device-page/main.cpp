// Opens the device page in a window over the stand-in tools and measures, while the check runs: the time from
// opening the page to the first frame of the finished page, and the longest gap between two drawn frames.

#include "screens/components/Renderer.h"
#include "device/DeviceCheck.h"
#include "store/Store.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMutex>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTimer>

#include <cstdio>

#include "vexlo_qml_plugins.h"

using namespace Qt::StringLiterals;

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    Renderer::choose();
    Store store(nullptr);
    Store::setInstance(&store);
    QQmlEngine engine;
    engine.addImportPath(u"qrc:/qt/qml"_s);
    QQuickWindow window;
    window.resize(1100, 820);
    window.show();

    QMutex mutex;
    QList<qint64> frames; // ns since opening, from the render thread
    QElapsedTimer clock;
    bool finished = false;
    qint64 finishedNs = -1;
    qint64 doneNs = -1;
    const QMetaObject::Connection frameSwapped = QObject::connect(
        &window, &QQuickWindow::frameSwapped, &window,
        [&] {
            QMutexLocker lock(&mutex);
            if (!clock.isValid())
                return;
            const qint64 now = clock.nsecsElapsed();
            frames << now;
            if (finished && doneNs < 0)
                doneNs = now;
        },
        Qt::DirectConnection);

    // Let the empty window settle before opening the page.
    QTimer::singleShot(500, &window, [&] {
        {
            QMutexLocker lock(&mutex);
            clock.start();
        }
        QQmlComponent component(&engine, QUrl(u"qrc:/qt/qml/Vexlo/Device/DeviceView.qml"_s));
        auto *page = qobject_cast<QQuickItem *>(component.create());
        if (!page) {
            std::fprintf(stderr, "%s\n", qPrintable(component.errorString()));
            app.exit(1);
            return;
        }
        page->setParentItem(window.contentItem());
        page->setSize(window.size());
        auto *check = page->property("check").value<DeviceCheck *>();
        QObject::connect(check, &DeviceCheck::finished, &window, [&, check] {
            {
                QMutexLocker lock(&mutex);
                finished = true;
                finishedNs = clock.nsecsElapsed();
            }
            window.update(); // the finished page's frame
            QTimer::singleShot(300, &app, [&, check] {
                QMutexLocker lock(&mutex);
                qint64 gap = 0;
                for (qsizetype i = 1; i < frames.size() && frames[i - 1] < finishedNs; ++i)
                    gap = std::max(gap, frames[i] - frames[i - 1]);
                const ToolStats stats = check->lastStats();
                std::printf(
                    "frames drawn while checking: %lld\n",
                    (long long)std::count_if(frames.begin(), frames.end(), [&](qint64 t) { return t <= finishedNs; }));
                std::printf("tools: %d processes, %.1f ms\n", stats.processes, stats.toolNanoseconds / 1e6);
                std::printf("check finished at %.1f ms\n", finishedNs / 1e6);
                std::printf("device page: done_ms=%.1f max_frame_gap_ms=%.1f\n", doneNs / 1e6, gap / 1e6);
                std::fflush(stdout);
                app.exit(doneNs < 0 ? 1 : 0);
            });
        });
    });
    const int code = app.exec();
    // The render thread must not record into `frames` while the locals go away.
    QObject::disconnect(frameSwapped);
    window.hide();
    return code;
}
