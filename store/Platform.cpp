#include "store/Platform.h"

#include <QClipboard>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace {

Platform *g_override = nullptr;

[[maybe_unused]] void openContainingFolder(const QString &path, const std::function<void()> &failed)
{
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absolutePath())) && failed)
        failed();
}

} // namespace

Platform::~Platform() = default;

Platform &Platform::instance()
{
    static DesktopPlatform desktop;
    return g_override ? *g_override : desktop;
}

void Platform::setInstance(Platform *platform)
{
    g_override = platform;
}

void DesktopPlatform::setClipboardText(const QString &text)
{
    if (!qGuiApp)
        return;
    // setText replaces whatever the clipboard held, in every format.
    QGuiApplication::clipboard()->setText(text, QClipboard::Clipboard);
}

bool DesktopPlatform::openUrl(const QUrl &url)
{
    return QDesktopServices::openUrl(url);
}

void DesktopPlatform::revealFile(const QString &path, std::function<void()> failed)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
#if defined(Q_OS_MACOS)
    if (!QProcess::startDetached(u"/usr/bin/open"_s, {u"-R"_s, absolute}) && failed)
        failed();
#elif defined(Q_OS_WIN)
    if (!QProcess::startDetached(u"explorer.exe"_s, {u"/select,"_s + QDir::toNativeSeparators(absolute)}) && failed)
        failed();
#else
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        openContainingFolder(absolute, failed);
        return;
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall(u"org.freedesktop.FileManager1"_s, u"/org/freedesktop/FileManager1"_s,
                                       u"org.freedesktop.FileManager1"_s, u"ShowItems"_s);
    call << QStringList{QUrl::fromLocalFile(absolute).toString()} << QString();
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, 5000));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [absolute, failed](QDBusPendingCallWatcher *w) {
                         if (w->isError())
                             openContainingFolder(absolute, failed);
                         w->deleteLater();
                     });
#endif
}

QString DesktopPlatform::picturesFolder()
{
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (!pictures.isEmpty() && QDir().mkpath(pictures))
        return pictures;
    return QDir::tempPath();
}
