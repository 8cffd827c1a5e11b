#include "screens/account/CheckoutFlow.h"

#include "service/CatalogRecords.h"
#include "store/Store.h"

#include <QPointer>

using namespace Qt::StringLiterals;

CheckoutFlow::CheckoutFlow(QObject *parent)
    : QObject(parent)
{
    m_pollTimer.setSingleShot(true);
    connect(&m_pollTimer, &QTimer::timeout, this, &CheckoutFlow::pollOnce);
    if (Store *store = Store::instance()) {
        connect(store, &Store::checkoutChanged, this, &CheckoutFlow::checkoutChanged);
        checkoutChanged();
    }
}

CheckoutFlow::~CheckoutFlow()
{
    m_runs.drop();
}

void CheckoutFlow::setPayType(const QString &key)
{
    const std::optional<PayType> type = payTypeFromKey(key);
    if (!type || *type == m_payType)
        return;
    m_payType = *type;
    Q_EMIT payTypeChanged();
}

void CheckoutFlow::setGateway(const QString &gateway)
{
    if (gateway == m_gateway)
        return;
    m_gateway = gateway;
    Q_EMIT gatewayChanged();
}

QString CheckoutFlow::gatewayLabel() const
{
    return m_gateway == u"hubijiao"_s ? u"虎皮椒"_s : u"讯虎"_s;
}

void CheckoutFlow::setPollInterval(int ms)
{
    if (ms == m_pollInterval)
        return;
    m_pollInterval = ms;
    Q_EMIT pollIntervalChanged();
}

void CheckoutFlow::toggleGateway()
{
    setGateway(m_gateway == u"hubijiao"_s ? u"xunhu"_s : u"hubijiao"_s);
}

void CheckoutFlow::choose(const QVariant &plan)
{
    if (plan.canConvert<StorePlan>())
        chooseTask(plan.value<StorePlan>().id);
}

QCoro::Task<> CheckoutFlow::chooseTask(int planId)
{
    Store *store = Store::instance();
    if (!store)
        co_return;
    QPointer<CheckoutFlow> self(this);
    QPointer<Store> storeAlive(store);
    co_await store->startCheckoutTask(planId, m_payType, m_gateway);
    // The sheet closed while the order was being made: the order must not wait there for the next sheet.
    if (storeAlive && (!self || m_closed))
        store->setCheckout(std::nullopt);
}

void CheckoutFlow::checkoutChanged()
{
    const Store *store = Store::instance();
    if (m_closed || !store)
        return;
    if (!store->checkout()) {
        m_order.clear();
        return;
    }
    if (store->checkout()->orderNo != m_order)
        startPolling();
}

void CheckoutFlow::startPolling()
{
    const Store *store = Store::instance();
    if (m_closed || !store || !store->checkout())
        return;
    m_order = store->checkout()->orderNo;
    m_runs.drop();
    setPolls(0);
    setPolling(true);
    m_pollTimer.start(m_pollInterval);
}

QCoro::Task<> CheckoutFlow::pollOnce()
{
    const NewestReply::Ticket run = m_runs.current();
    Store *store = Store::instance();
    if (!store || !store->checkout()) {
        setPolling(false);
        co_return;
    }
    QPointer<CheckoutFlow> self(this);
    setPolls(m_polls + 1);
    co_await store->pollCheckoutTask();
    if (!self || !m_runs.isCurrent(run))
        co_return;
    if (m_polls < maxPolls && Store::instance() && Store::instance()->checkout())
        m_pollTimer.start(m_pollInterval);
    else
        setPolling(false);
}

void CheckoutFlow::close()
{
    m_closed = true;
    m_runs.drop();
    m_pollTimer.stop();
    setPolling(false);
    if (Store *store = Store::instance())
        store->setCheckout(std::nullopt);
    Q_EMIT closeRequested();
}

void CheckoutFlow::setPolling(bool polling)
{
    if (polling == m_polling)
        return;
    m_polling = polling;
    Q_EMIT pollingChanged();
}

void CheckoutFlow::setPolls(int polls)
{
    if (polls == m_polls)
        return;
    m_polls = polls;
    Q_EMIT pollsChanged();
}
