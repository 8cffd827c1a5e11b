#include "screens/account/CheckoutText.h"

#include <QJSEngine>

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

QString CheckoutText::payTypeLabel(const QString &payType)
{
    return payType == u"alipay"_s ? u"支付宝"_s : u"微信"_s;
}

QString CheckoutText::scanPrompt(const QString &payType)
{
    return u"请使用"_s + payTypeLabel(payType) + u"扫码支付"_s;
}

QString CheckoutText::planLength(int days)
{
    return days >= 36500 ? u"长期有效"_s : u"%1 天"_s.arg(days);
}
