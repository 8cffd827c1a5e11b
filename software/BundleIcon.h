#pragma once

#include <QImage>
#include <QObject>
#include <QQuickAsyncImageProvider>
#include <QSize>
#include <QString>
#include <QtQml/qqmlregistration.h>

// The bundle's icon. On macOS the page shows the one the workspace (Finder) shows for the bundle path, custom
// icons included; elsewhere the file its Info.plist names (CFBundleIconFile, else CFBundleIconName) under
// Contents/Resources, ".icns" added when the name has no extension, decoded with Qt's image plugins.
namespace BundleIcon {

// The icon file the bundle names, or empty when it names none that exists.
[[nodiscard]] QString iconFile(const QString &bundlePath);

// The representation nearest to size (the smallest at least as large, else the largest), scaled to size when
// size is valid. A null image when nothing loads.
[[nodiscard]] QImage load(const QString &bundlePath, const QSize &size);

#ifdef Q_OS_MACOS
// The workspace's icon for the bundle path, a square of the smaller side of size (128 when size is not valid).
// Callable off the main thread.
[[nodiscard]] QImage workspaceIcon(const QString &bundlePath, const QSize &size);
#endif

// What a row shows: workspaceIcon() on macOS, load() elsewhere.
[[nodiscard]] QImage shown(const QString &bundlePath, const QSize &size);

} // namespace BundleIcon

// Serves "image://bundleicon/<percent-encoded bundle path>" on Qt Quick's loader threads.
class BundleIconProvider : public QQuickAsyncImageProvider
{
public:
    static constexpr auto id = "bundleicon";
    QQuickImageResponse *requestImageResponse(const QString &id, const QSize &requestedSize) override;
};

// The address an Image loads a bundle's icon from. Installs the provider in the engine on first use.
class AppIcons : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    // Not default-constructible, so QML makes the singleton through create() (which installs the provider).
    explicit AppIcons(QQmlEngine *engine);
    static AppIcons *create(QQmlEngine *engine, QJSEngine *);

    Q_INVOKABLE [[nodiscard]] static QUrl source(const QString &bundlePath);
};
