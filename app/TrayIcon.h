#pragma once
// The menu bar item: an icon in the system tray that opens the quick panel, with a small menu for the
// store window, the settings and quitting.

#include <QObject>
#include <QRect>

class QMenu;
class QSystemTrayIcon;

class TrayIcon : public QObject
{
    Q_OBJECT

public:
    explicit TrayIcon(QObject *parent = nullptr);
    ~TrayIcon() override;

    // False where the desktop has no tray; the icon is then not installed.
    [[nodiscard]] static bool available();
    void show();
    // Where the icon is on the screen; empty where the tray does not say.
    [[nodiscard]] QRect geometry() const;

Q_SIGNALS:
    void panelRequested();
    void storeRequested();
    void settingsRequested();
    void quitRequested();

private:
    QSystemTrayIcon *m_icon = nullptr;
    QMenu *m_menu = nullptr;
};
