#pragma once
// Small services the window's QML needs from C++: the site address and requests to bring windows forward
// (carried out by the app).

#include <QObject>
#include <QQmlEngine>

class Shell : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    // The site address the store talks to, as the user set it; follows every change at once.
    Q_PROPERTY(QString siteAddress READ siteAddress NOTIFY siteAddressChanged)

public:
    static Shell *instance();
    static Shell *create(QQmlEngine *, QJSEngine *);

    [[nodiscard]] QString siteAddress() const;
    // Bring the one store window forward (opening it again if it was closed), or open the settings window.
    Q_INVOKABLE void showStoreWindow() { Q_EMIT storeWindowRequested(); }
    Q_INVOKABLE void showSettings() { Q_EMIT settingsRequested(); }
    // Opens the quick search panel (the "商店" menu, where no tray icon offers it).
    Q_INVOKABLE void showQuickSearch() { Q_EMIT quickSearchRequested(); }

Q_SIGNALS:
    void storeWindowRequested();
    void settingsRequested();
    void quickSearchRequested();
    void siteAddressChanged();

private:
    // Not default-constructible, so QML takes the one instance from create().
    explicit Shell(QObject *parent);
};
