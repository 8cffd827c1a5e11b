#include "Harness.h"

#include "DrawnReport.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QQuickItem>
#include <QQuickWindow>
#include <QScreen>

using namespace Qt::Literals::StringLiterals;

namespace {

// Image, AnimatedImage, BorderImage and Loader share these values of `status`.
constexpr int loadingStatus = 2;

bool stillLoading(const QQuickItem *item)
{
    if (!item->isVisible())
        return false;
    const bool loads = item->inherits("QQuickImageBase") || item->inherits("QQuickLoader");
    if (loads && item->property("status").toInt() == loadingStatus)
        return true;
    const auto children = item->childItems();
    return std::any_of(children.begin(), children.end(), stillLoading);
}

} // namespace

void Harness::quit(int code)
{
    QCoreApplication::exit(code);
}

void Harness::parkPointer() const
{
    if (QScreen *screen = QGuiApplication::primaryScreen())
        QCursor::setPos(screen, screen->geometry().bottomRight());
}

bool Harness::saveWindowImage(QObject *window, const QString &path) const
{
    auto *quickWindow = qobject_cast<QQuickWindow *>(window);
    if (!quickWindow)
        return false;
    QDir().mkpath(QFileInfo(path).absolutePath());
    // Plain 8-bit RGB: the window is opaque, and every PNG reader takes this form.
    return quickWindow->grabWindow().convertToFormat(QImage::Format_RGB888).save(path, "PNG");
}

bool Harness::settled(QObject *window) const
{
    auto *quickWindow = qobject_cast<QQuickWindow *>(window);
    if (!quickWindow)
        return false;
    // From the top: the content and the overlay the sheets and popups open in.
    QQuickItem *root = quickWindow->contentItem();
    while (root->parentItem())
        root = root->parentItem();
    return !stillLoading(root);
}

void Harness::reportWhenDrawn(QObject *window)
{
    auto *quickWindow = qobject_cast<QQuickWindow *>(window);
    if (!quickWindow || std::exchange(m_reporting, true))
        return;
    ::reportWhenDrawn(quickWindow);
}

QString Harness::screenshotDir()
{
    return qEnvironmentVariable("VEXLO_SCREENSHOT_DIR");
}

QStringList Harness::screenshotPages()
{
    return qEnvironmentVariable("VEXLO_SCREENSHOT_PAGES").split(u',', Qt::SkipEmptyParts);
}
