// Account and checkout, the whole flow in one place: the member from the home payload, the sign-in and checkout
// sheets, opening an order, polling it or paying it in the sandbox, and the order history. A signed-out
// checkout opens the sign-in sheet; a paid order closes the sheet, shows the toast and reloads home and orders.
#include "store/Store.h"

#include "service/QmlValue.h"
#include "service/StoreAPI.h"
#include "store/Logging.h"

#include <QPointer>
#include <QScopeGuard>

using namespace Qt::StringLiterals;

// --- account ---

std::optional<StoreMember> Store::member() const
{
    return m_home ? m_home->member : std::nullopt;
}

bool Store::billingOn() const
{
    return !m_home || m_home->billingEnabled.value_or(true);
}

QVariant Store::memberValue() const
{
    return QmlValue::of(member());
}

QVariantList Store::ordersValue() const
{
    return QmlValue::list(m_orders);
}

void Store::loadAccount()
{
    loadAccountTask();
}

QCoro::Task<> Store::loadAccountTask()
{
    if (!member()) {
        m_accountLoads.drop();
        setOrders({});
        co_return;
    }
    QPointer<Store> self(this);
    const NewestReply::Ticket ticket = m_accountLoads.begin();
    auto result = co_await StoreAPI::account();
    if (!self || !m_accountLoads.isCurrent(ticket))
        co_return;
    if (result.ok())
        setOrders(std::move(result).take().orders);
    else
        qCWarning(lcStore) << "orders not loaded:" << result.error();
}

// --- checkout ---

QVariant Store::checkoutValue() const
{
    return QmlValue::of(m_checkout);
}

void Store::setCheckoutErrorText(const QString &text)
{
    setCheckoutError(QmlValue::text(text));
}

void Store::startCheckout(const QVariant &plan, const QString &payType, const QString &gateway)
{
    const std::optional<PayType> type = payTypeFromKey(payType);
    if (!type)
        return;
    if (plan.metaType() == QMetaType::fromType<StorePlan>()) {
        startCheckoutTask(plan.value<StorePlan>().id, *type, gateway);
        return;
    }
    bool isNumber = false;
    const int planId = plan.toInt(&isNumber);
    if (isNumber)
        startCheckoutTask(planId, *type, gateway);
}

QCoro::Task<> Store::startCheckoutTask(StorePlan plan, PayType payType, QString gateway)
{
    co_await startCheckoutTask(plan.id, payType, std::move(gateway));
}

QCoro::Task<> Store::startCheckoutTask(int planId, PayType payType, QString gateway)
{
    QPointer<Store> self(this);
    setCheckoutBusy(true);
    setCheckoutError(std::nullopt);
    auto idle = qScopeGuard([self] {
        if (self)
            self->setCheckoutBusy(false);
    });

    auto result = co_await StoreAPI::checkout(planId, payType, gateway);
    if (!self)
        co_return;
    if (result.ok()) {
        setCheckout(std::move(result).take());
    } else if (result.error().is(StoreError::Kind::unauthorized)) {
        setShowLogin(true);
    } else {
        qCWarning(lcStore) << "order for plan" << planId << "not opened:" << result.error();
        setCheckoutError(result.error().userMessage(u"下单失败"_s));
    }
}

void Store::pollCheckout()
{
    pollCheckoutTask();
}

// Asks once whether the open order is paid; anything but an exact "paid" leaves it open.
QCoro::Task<> Store::pollCheckoutTask()
{
    if (!m_checkout)
        co_return;
    QPointer<Store> self(this);
    auto result = co_await StoreAPI::orderStatus(m_checkout->orderNo);
    if (!self || !result.ok())
        co_return;
    const auto &order = result.value().order;
    if (!order || order->status != u"paid"_s)
        co_return;
    co_await finishPaidOrder();
}

void Store::mockPay()
{
    mockPayTask();
}

// The sandbox payment; a failure keeps the order open with the reason shown on it.
QCoro::Task<> Store::mockPayTask()
{
    if (!m_checkout)
        co_return;
    QPointer<Store> self(this);
    setCheckoutBusy(true);
    auto idle = qScopeGuard([self] {
        if (self)
            self->setCheckoutBusy(false);
    });

    auto result = co_await StoreAPI::mockPay(m_checkout->orderNo);
    if (!self)
        co_return;
    if (!result.ok()) {
        qCWarning(lcStore) << "sandbox payment not made:" << result.error();
        setCheckoutError(result.error().userMessage(u"模拟支付失败"_s));
        co_return;
    }
    co_await finishPaidOrder();
}

QCoro::Task<> Store::finishPaidOrder()
{
    QPointer<Store> self(this);
    showToast(u"支付成功，赞助已生效"_s);
    setCheckout(std::nullopt);
    co_await bootstrapTask();
    if (!self)
        co_return;
    co_await loadAccountTask();
}
