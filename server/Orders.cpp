#include "server/Orders.h"

#include "server/Database.h"

#include <QDateTime>
#include <QSqlQuery>
#include <sodium.h>

namespace {

const QString kSelect = QStringLiteral(
    "SELECT order_no, plan_name, status, pay_type, gateway, amount, days, created_at_ms, paid_at_ms FROM orders ");

Order orderFrom(const QSqlQuery &q)
{
    return Order{q.value(0).toString(), q.value(1).toString(),   q.value(2).toString(),
                 q.value(3).toString(), q.value(4).toString(),   q.value(5).toDouble(),
                 q.value(6).toInt(),    q.value(7).toLongLong(), q.value(8).isNull() ? 0 : q.value(8).toLongLong()};
}

QString newOrderNo(qint64 now)
{
    QByteArray random(5, Qt::Uninitialized);
    randombytes_buf(random.data(), size_t(random.size()));
    return QStringLiteral("VX") +
        QDateTime::fromSecsSinceEpoch(now, Qt::UTC).toString(QStringLiteral("yyyyMMddHHmmss")) +
        QString::fromLatin1(random.toHex()).toUpper();
}

} // namespace

std::optional<QString> Orders::open(int userId, const PlanEntry &plan, const QString &payType, const QString &gateway,
                                    qint64 now)
{
    // The key refuses a number another instance drew in the same second; a fresh one is drawn then.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const QString orderNo = newOrderNo(now);
        const bool stored =
            m_db.run(QStringLiteral("INSERT INTO orders (order_no, user_id, plan_id, plan_name, days,"
                                    " amount, status, pay_type, gateway, created_at_ms, paid_at_ms)"
                                    " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                     {orderNo, userId, plan.id, plan.name, plan.days, plan.price, QStringLiteral("pending"), payType,
                      gateway, QDateTime::currentMSecsSinceEpoch(), QVariant(QMetaType::fromType<qlonglong>())})
                .isActive();
        if (stored)
            return orderNo;
    }
    return std::nullopt;
}

std::optional<int> Orders::pendingSince(int userId, qint64 sinceMs)
{
    const QVariant count = m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM orders WHERE user_id = ? AND"
                                                      " status = 'pending' AND created_at_ms > ?"),
                                       {userId, sinceMs});
    if (!count.isValid())
        return std::nullopt;
    return count.toInt();
}

std::optional<Order> Orders::find(int userId, const QString &orderNo)
{
    QSqlQuery q = m_db.run(kSelect + QStringLiteral("WHERE order_no = ? AND user_id = ?"), {orderNo, userId});
    if (!q.next())
        return std::nullopt;
    return orderFrom(q);
}

QList<Order> Orders::history(int userId)
{
    QList<Order> out;
    QSqlQuery q = m_db.run(kSelect +
                               QStringLiteral("WHERE user_id = ? ORDER BY created_at_ms DESC, order_no DESC"
                                              " LIMIT 50"),
                           {userId});
    while (q.next())
        out.append(orderFrom(q));
    return out;
}

std::optional<Order> Orders::byNumber(const QString &orderNo)
{
    QSqlQuery q = m_db.run(kSelect + QStringLiteral("WHERE order_no = ?"), {orderNo});
    if (!q.next())
        return std::nullopt;
    return orderFrom(q);
}

std::optional<bool> Orders::markPaid(const QString &orderNo, qint64 paidAtMs)
{
    QSqlQuery update = m_db.run(
        QStringLiteral("UPDATE orders SET status = 'paid', paid_at_ms = ? WHERE order_no = ? AND status <> 'paid'"),
        {paidAtMs, orderNo});
    if (!update.isActive())
        return std::nullopt;
    return update.numRowsAffected() == 1;
}
