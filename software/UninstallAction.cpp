#include "software/UninstallAction.h"

#include "store/Platform.h"

UninstallAction::UninstallAction(QObject *parent)
    : QObject(parent)
{
    connect(&m_watcher, &QFutureWatcher<UninstallResult>::finished, this,
            [this] { finish(m_watcher.future().resultCount() > 0 ? m_watcher.result() : UninstallResult{}); });
}

void UninstallAction::start(const QString &bundlePath)
{
    if (m_busy)
        return;
    m_busy = true;
    Q_EMIT busyChanged();
    m_watcher.setFuture(SoftwareScanner::uninstall(bundlePath));
}

void UninstallAction::reveal(const QString &bundlePath)
{
    Platform::instance().revealFile(bundlePath);
}

void UninstallAction::finish(const UninstallResult &result)
{
    m_busy = false;
    Q_EMIT busyChanged();
    if (result.ok) {
        Q_EMIT succeeded();
        return;
    }
    const QString message = result.reason.value_or(fallbackMessage.toString());
    if (message != m_error) {
        m_error = message;
        Q_EMIT errorChanged();
    }
}
