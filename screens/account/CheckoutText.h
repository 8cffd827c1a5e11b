#pragma once
// The texts of the checkout sheet that depend on the order or plan.
#include <QObject>
#include <QString>
#include <QVariantList>
#include <QtQml/qqmlregistration.h>

class QQmlEngine;
class QJSEngine;

class CheckoutText : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    // The pay-type chips, WeChat first: {key, label} of each way to pay.
    Q_PROPERTY(QVariantList payTypes READ payTypes CONSTANT)

public:
    using QObject::QObject;
    static CheckoutText *create(QQmlEngine *, QJSEngine *);

    [[nodiscard]] static QVariantList payTypes();

    // "请使用" + the label of the pay type key + "扫码支付"; a key that names no pay type reads as WeChat.
    Q_INVOKABLE [[nodiscard]] static QString scanPrompt(const QString &payType);
    // "长期有效" from 36500 days on, else "N 天".
    Q_INVOKABLE [[nodiscard]] static QString planLength(int days);
};
