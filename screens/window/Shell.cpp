#include "screens/window/Shell.h"

#include "service/Endpoint.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QFile>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QQmlEngine>
#include <QQuickWindow>
#include <QUrl>

#include <cstdio>

using namespace Qt::Literals::StringLiterals;

Shell *Shell::instance()
{
    static Shell *shell = new Shell(nullptr);
    return shell;
}

Shell *Shell::create(QQmlEngine *, QJSEngine *)
{
    QQmlEngine::setObjectOwnership(instance(), QQmlEngine::CppOwnership);
    return instance();
}

bool Shell::hasPage(const QString &url) const
{
    const QUrl parsed(url);
    if (parsed.scheme() != u"qrc"_s)
        return false;
    return QFile::exists(u":"_s + parsed.path());
}

QString Shell::siteAddress() const
{
    return Endpoint::base();
}

void Shell::quit(int code)
{
    QCoreApplication::exit(code);
}

void Shell::parkPointer() const
{
    if (QScreen *screen = QGuiApplication::primaryScreen())
        QCursor::setPos(screen, screen->geometry().bottomRight());
}

bool Shell::saveWindowImage(QObject *window, const QString &path) const
{
    auto *quickWindow = qobject_cast<QQuickWindow *>(window);
    if (!quickWindow)
        return false;
    QDir().mkpath(QFileInfo(path).absolutePath());
    return quickWindow->grabWindow().save(path, "PNG");
}

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

void Shell::reportWhenDrawn(QObject *window)
{
    auto *quickWindow = qobject_cast<QQuickWindow *>(window);
    if (!quickWindow || m_reporting)
        return;
    m_reporting = true;
    // frameSwapped may come from the render thread; report from the GUI thread.
    connect(
        quickWindow, &QQuickWindow::frameSwapped, this,
        [this] {
            if (m_reported)
                return;
            m_reported = true;
            std::printf("drawn-ms: %lld rss-kb: %lld\n", static_cast<long long>(QDateTime::currentMSecsSinceEpoch()),
                        static_cast<long long>(residentKilobytes()));
            std::fflush(stdout);
            QCoreApplication::exit(0);
        },
        Qt::QueuedConnection);
    quickWindow->update();
}

QString Shell::screenshotDir() const
{
    return qEnvironmentVariable("VEXLO_SCREENSHOT_DIR");
}

QStringList Shell::screenshotPages() const
{
    return qEnvironmentVariable("VEXLO_SCREENSHOT_PAGES").split(u',', Qt::SkipEmptyParts);
}
