#include "screens/components/PageText.h"

#include "screens/components/Format.h"

PageText *PageText::create(QQmlEngine *, QJSEngine *)
{
    static PageText *instance = [] {
        auto *t = new PageText;
        QJSEngine::setObjectOwnership(t, QJSEngine::CppOwnership);
        return t;
    }();
    return instance;
}

QString PageText::greeting(int hour)
{
    if (hour < 6)
        return QStringLiteral("深夜好");
    if (hour < 12)
        return QStringLiteral("早上好");
    if (hour < 18)
        return QStringLiteral("下午好");
    return QStringLiteral("晚上好");
}

QString PageText::starSymbol(double rating, int index)
{
    if (rating > index + 0.5)
        return QStringLiteral("star.fill");
    if (rating > index)
        return QStringLiteral("star.leadinghalf.filled");
    return QStringLiteral("star");
}

QString PageText::oneDecimal(double value)
{
    return ::oneDecimal(value);
}

QString PageText::price(double value)
{
    return ::price(value);
}

QString PageText::amount(double value)
{
    return ::price(value, Cents::always);
}

QString PageText::period(int days)
{
    if (days >= 36500)
        return QStringLiteral("/ 永久");
    if (days == 90)
        return QStringLiteral("/ 季");
    if (days == 30)
        return QStringLiteral("/ 月");
    return QStringLiteral("/ 年");
}

QString PageText::orderStatus(const QString &status)
{
    if (status == QLatin1String("paid"))
        return QStringLiteral("已支付");
    if (status == QLatin1String("pending"))
        return QStringLiteral("待支付");
    return status;
}

QString PageText::payType(const QString &key)
{
    const std::optional<PayType> type = payTypeFromKey(key);
    return type ? payTypeLabel(*type) : key;
}

QString PageText::payTypeLabel(PayType type)
{
    return type == PayType::alipay ? QStringLiteral("支付宝") : QStringLiteral("微信");
}
