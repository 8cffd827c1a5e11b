#pragma once
// The texts of the checkout sheet that depend on the order or plan.
#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

class QQmlEngine;
class QJSEngine;

class CheckoutText : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    using QObject::QObject;
    static CheckoutText *create(QQmlEngine *, QJSEngine *);

    // "支付宝" for "alipay", "微信" for anything else.
    Q_INVOKABLE [[nodiscard]] static QString payTypeLabel(const QString &payType);
    // "请使用" + the pay type's label + "扫码支付".
    Q_INVOKABLE [[nodiscard]] static QString scanPrompt(const QString &payType);
    // "长期有效" from 36500 days on, else "N 天".
    Q_INVOKABLE [[nodiscard]] static QString planLength(int days);
};
