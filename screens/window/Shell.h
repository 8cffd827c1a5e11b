#pragma once
// Small services the window's QML needs from C++: which pages are built, the site address, requests to
// bring windows forward (carried out by the app), and the screenshot tour's settings.

#include <QObject>
#include <QStringList>
#include <QQmlEngine>

class Shell : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    // Folder for the screenshot tour (VEXLO_SCREENSHOT_DIR); empty outside of it.
    Q_PROPERTY(QString screenshotDir READ screenshotDir CONSTANT)
    // Pages the tour captures (VEXLO_SCREENSHOT_PAGES, comma-separated); empty means all.
    Q_PROPERTY(QStringList screenshotPages READ screenshotPages CONSTANT)

public:
    static Shell *instance();
    static Shell *create(QQmlEngine *, QJSEngine *);

    // Whether a screen file is part of the program (a qrc URL such as "qrc:/qt/qml/Vexlo/Screens/X.qml").
    Q_INVOKABLE bool hasPage(const QString &url) const;
    // The site address the store talks to, as the user set it.
    Q_INVOKABLE QString siteAddress() const;
    // Ends the program (the screenshot tour's last step).
    Q_INVOKABLE void quit(int code = 0);
    // Bring the one store window forward (opening it again if it was closed), or open the settings window.
    Q_INVOKABLE void showStoreWindow() { Q_EMIT storeWindowRequested(); }
    Q_INVOKABLE void showSettings() { Q_EMIT settingsRequested(); }
    // Opens the quick search panel (the "商店" menu, where no tray icon offers it).
    Q_INVOKABLE void showQuickSearch() { Q_EMIT quickSearchRequested(); }

    // Moves the pointer to the screen's corner, so no card is drawn hovered in a screenshot.
    Q_INVOKABLE void parkPointer() const;
    // Saves what `window` shows as a PNG; false when it could not be written.
    Q_INVOKABLE bool saveWindowImage(QObject *window, const QString &path) const;

    // After the next frame of `window` reaches the screen: prints the wall-clock time and the resident memory
    // ("drawn-ms: <epoch ms> rss-kb: <kB>") and ends the program. Start-up benchmark only.
    Q_INVOKABLE void reportWhenDrawn(QObject *window);

    [[nodiscard]] QString screenshotDir() const;
    [[nodiscard]] QStringList screenshotPages() const;

Q_SIGNALS:
    void storeWindowRequested();
    void settingsRequested();
    void quickSearchRequested();

private:
    bool m_reporting = false;
    bool m_reported = false;
    // Not default-constructible, so QML takes the one instance from create().
    explicit Shell(QObject *parent)
        : QObject(parent)
    { }
};
