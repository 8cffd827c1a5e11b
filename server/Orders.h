#pragma once
// Sponsorship orders as the commerce routes need them: opening one for a plan, a member's history, and the sandbox
// payment's conditional update. Every statement on the orders table lives here.
#include "server/Records.h"

#include <QList>
#include <QString>
#include <optional>

class Database;

struct Order
{
    QString orderNo, planName, status, payType, gateway;
    double amount = 0;
    int days = 0;
    qint64 createdAtMs = 0;
    qint64 paidAtMs = 0; // 0 while unpaid
};

class Orders
{
public:
    explicit Orders(Database &db)
        : m_db(db)
    { }

    // A new pending order under a fresh number, or nothing when it could not be stored.
    std::optional<QString> open(int userId, const PlanEntry &plan, const QString &payType, const QString &gateway,
                                qint64 now);
    // Pending orders the member opened since sinceMs; nothing when the database does not answer.
    std::optional<int> pendingSince(int userId, qint64 sinceMs);
    // The member's order; another member's is as absent as an unknown one.
    std::optional<Order> find(int userId, const QString &orderNo);
    QList<Order> history(int userId); // newest first, at most 50
    // Any member's order, for the payment page and its QR code, which a phone opens without the member's session.
    std::optional<Order> byNumber(const QString &orderNo);
    // Marks a pending order paid: true when this call changed it, false when it was paid already, nothing on failure.
    std::optional<bool> markPaid(const QString &orderNo, qint64 paidAtMs);

private:
    Database &m_db;
};
