#include "screens/account/CheckoutText.h"

#include "screens/components/PageText.h"
#include "service/CommerceRecords.h"

#include <QJSEngine>
#include <QVariantMap>

using namespace Qt::StringLiterals;

CheckoutText *CheckoutText::create(QQmlEngine *, QJSEngine *)
{
    static CheckoutText *instance = [] {
        auto *text = new CheckoutText;
        QJSEngine::setObjectOwnership(text, QJSEngine::CppOwnership);
        return text;
    }();
    return instance;
}

QVariantList CheckoutText::payTypes()
{
    QVariantList chips;
    for (const PayType type : ::payTypes)
        chips.append(QVariantMap{{u"key"_s, payTypeKey(type)}, {u"label"_s, PageText::payTypeLabel(type)}});
    return chips;
}

QString CheckoutText::scanPrompt(const QString &payType)
{
    return u"请使用"_s + PageText::payTypeLabel(payTypeFromKey(payType).value_or(PayType::wechat)) + u"扫码支付"_s;
}

QString CheckoutText::planLength(int days)
{
    return days >= 36500 ? u"长期有效"_s : u"%1 天"_s.arg(days);
}
