// Store's lifetime and its place as the QML singleton. The features live in their own files (see Store.h).
#include "store/Store.h"

#include "store/Navigator.h"

#include <QCoreApplication>
#include <QJSEngine>
#include <QPointer>
#include <QQmlEngine>

namespace {

QPointer<Store> g_instance;

} // namespace

Store::Store(QObject *parent)
    : QObject(parent)
{
    m_toastTimer.setSingleShot(true);
    m_toastTimer.setInterval(toastMilliseconds);
    // A coarse timer may fire up to 5 % early: the toast would be cut short by 160 ms.
    m_toastTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_toastTimer, &QTimer::timeout, this, &Store::clearToast);
    m_installed = readInstalledRecords();
    m_navigator = new Navigator(*this);
}

Store::~Store() = default;

Store *Store::instance()
{
    return g_instance.data();
}

void Store::setInstance(Store *store)
{
    g_instance = store;
}

Store *Store::create(QQmlEngine *, QJSEngine *)
{
    if (!instance())
        setInstance(new Store(QCoreApplication::instance()));
    Store *store = instance();
    QJSEngine::setObjectOwnership(store, QJSEngine::CppOwnership);
    return store;
}
