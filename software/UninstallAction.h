#pragma once

#include "software/SoftwareScanner.h"

#include <QFutureWatcher>
#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

// The uninstall sheet's state: runs one removal at a time on a worker thread and keeps the last failure message.
class UninstallAction : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(bool busy READ busy NOTIFY busyChanged)
    Q_PROPERTY(QString error READ error NOTIFY errorChanged)

public:
    static constexpr QStringView fallbackMessage = u"卸载失败，请用 Finder 手动删除";
    static constexpr QStringView runningMessage = u"该应用正在运行，请先退出它再卸载。";

    explicit UninstallAction(QObject *parent = nullptr);

    [[nodiscard]] bool busy() const { return m_busy; }
    [[nodiscard]] QString error() const { return m_error; }

    // Moves the bundle to the Trash unless a removal is running. Emits succeeded() or sets error.
    Q_INVOKABLE void start(const QString &bundlePath);
    // Shows the bundle selected in the file manager.
    Q_INVOKABLE static void reveal(const QString &bundlePath);

Q_SIGNALS:
    void busyChanged();
    void errorChanged();
    void succeeded();

private:
    void finish(const UninstallResult &result);

    bool m_busy = false;
    QString m_path;
    QString m_error;
    QFutureWatcher<UninstallResult> m_watcher;
};
