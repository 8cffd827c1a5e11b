#include "software/UninstallAction.h"

#include "software/Logging.h"
#include "software/RunningApps.h"
#include "store/Platform.h"
#include "store/Store.h"

#include <QtConcurrent/QtConcurrentRun>

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
    m_path = bundlePath;
    Q_EMIT busyChanged();
    // A running application is never pulled from under itself: the user quits it first.
    m_watcher.setFuture(QtConcurrent::run([bundlePath] {
        if (RunningApps::isRunning(bundlePath))
            return UninstallResult{false, runningMessage.toString()};
        return SoftwareScanner::uninstallNow(bundlePath);
    }));
}

void UninstallAction::reveal(const QString &bundlePath)
{
    // Through the Store, which says so in the window when no file manager can show the bundle.
    if (Store *store = Store::instance())
        store->revealFile(bundlePath);
    else
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
    qCWarning(lcSoftware).noquote() << m_path << "not moved to the Trash:" << message;
    if (message != m_error) {
        m_error = message;
        Q_EMIT errorChanged();
    }
}
