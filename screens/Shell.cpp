#include "screens/Shell.h"

#include "service/Endpoint.h"

#include <QCoreApplication>
#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QQmlEngine>
#include <QQuickWindow>
#include <QUrl>

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

bool Shell::saveWindowImage(QObject *window, const QString &path) const
{
    auto *quickWindow = qobject_cast<QQuickWindow *>(window);
    if (!quickWindow)
        return false;
    QDir().mkpath(QFileInfo(path).absolutePath());
    return quickWindow->grabWindow().save(path, "PNG");
}

QString Shell::screenshotDir() const
{
    return qEnvironmentVariable("VEXLO_SCREENSHOT_DIR");
}

QStringList Shell::screenshotPages() const
{
    return qEnvironmentVariable("VEXLO_SCREENSHOT_PAGES").split(u',', Qt::SkipEmptyParts);
}
