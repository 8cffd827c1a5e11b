#pragma once
// What the start-up probe and the screenshot tour need beyond the app's own QML: pictures of windows, the
// pointer out of the way, waiting for images, the moment a frame is drawn, and the end of the run.

#include <QObject>
#include <QQmlEngine>
#include <QStringList>

class Harness : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    // Folder for the screenshot tour (VEXLO_SCREENSHOT_DIR).
    Q_PROPERTY(QString screenshotDir READ screenshotDir CONSTANT)
    // Pages the tour captures (VEXLO_SCREENSHOT_PAGES, comma-separated); empty means all.
    Q_PROPERTY(QStringList screenshotPages READ screenshotPages CONSTANT)

public:
    explicit Harness(QObject *parent = nullptr)
        : QObject(parent)
    { }

    // Ends the program.
    Q_INVOKABLE void quit(int code = 0);
    // Moves the pointer to the screen's corner, so no card is drawn hovered in a screenshot.
    Q_INVOKABLE void parkPointer() const;
    // Saves what `window` shows as a PNG; false when it could not be written.
    Q_INVOKABLE bool saveWindowImage(QObject *window, const QString &path) const;
    // Whether every image and loader that `window` shows has finished loading (or failed): nothing a picture
    // would catch half-way.
    Q_INVOKABLE bool settled(QObject *window) const;
    // After the next frame of `window` reaches the screen: prints the wall-clock time, the resident memory and the
    // GUI thread's processor time ("drawn-ms: <epoch ms> rss-kb: <kB> gui-cpu-ms: <ms>") and ends the program.
    Q_INVOKABLE void reportWhenDrawn(QObject *window);

    [[nodiscard]] static QString screenshotDir();
    [[nodiscard]] static QStringList screenshotPages();

private:
    bool m_reporting = false;
};
