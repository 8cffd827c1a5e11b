#pragma once

#include "service/CommerceRecords.h"

#include <QObject>
#include <QQmlEngine>

// Small text rules of the store pages (greeting, star states, prices), kept out of QML so the
// pages stay declarative.
class PageText : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    using QObject::QObject;
    static PageText *create(QQmlEngine *, QJSEngine *);

    // "深夜好" before 6, "早上好" 6–11, "下午好" 12–17, "晚上好" from 18.
    Q_INVOKABLE [[nodiscard]] static QString greeting(int hour);
    // Symbol of star `index` (0–4) for `rating`: full above index + 0.5, half above index, else empty.
    Q_INVOKABLE [[nodiscard]] static QString starSymbol(double rating, int index);
    // "%.1f"
    Q_INVOKABLE [[nodiscard]] static QString oneDecimal(double value);
    // A plan's price as shown after "¥" (whole prices without decimals) and an order's amount (two decimals).
    Q_INVOKABLE [[nodiscard]] static QString price(double value);
    Q_INVOKABLE [[nodiscard]] static QString amount(double value);
    // The billing period of a plan by its length in days: "/ 永久", "/ 季", "/ 月", otherwise "/ 年".
    Q_INVOKABLE [[nodiscard]] static QString period(int days);
    // An order's status and pay type key as the member reads them: "已支付", "待支付", "微信", "支付宝"; a key
    // without a name of its own is shown as it came.
    Q_INVOKABLE [[nodiscard]] static QString orderStatus(const QString &status);
    Q_INVOKABLE [[nodiscard]] static QString payType(const QString &key);
    // "微信", "支付宝".
    [[nodiscard]] static QString payTypeLabel(PayType type);
};
