#pragma once
// The "商店" menu in the system's menu bar on macOS: a QMenuBar without a window becomes the application's menu
// bar there, and the settings item moves into the application menu (PreferencesRole, Command-,). Ctrl in a
// shortcut is the Command key on macOS. Elsewhere the store window's toolbar opens it (StoreMenuButton.qml).

#include <QObject>
#include <QPointer>

#include <memory>

class QMenuBar;

class GlobalMenuBar : public QObject
{
    Q_OBJECT

public:
    // storeContent: the window's StoreWindow item, whose refreshStore(), backToDiscover() and openSite() the
    // items call.
    explicit GlobalMenuBar(QObject *storeContent, QObject *parent = nullptr);
    ~GlobalMenuBar() override;

    [[nodiscard]] QMenuBar *menuBar() const { return m_bar.get(); }

    // Where the system has one menu bar for the application (macOS).
    [[nodiscard]] static constexpr bool wanted()
    {
#ifdef Q_OS_MACOS
        return true;
#else
        return false;
#endif
    }

Q_SIGNALS:
    void quickSearchRequested();
    void settingsRequested();

private:
    void call(const char *function);

    std::unique_ptr<QMenuBar> m_bar;
    QPointer<QObject> m_content;
};
