#include "service/StoreAPI.h"
#include "service/Endpoint.h"
#include "service/Network.h"

#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QUrl>
#include <QCoro/QCoroNetworkReply>

using namespace Qt::StringLiterals;

namespace StoreAPI {

namespace {

bool keptInQuery(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
        std::string_view("-._~!$&'()*+,;=:@/?").find(c) != std::string_view::npos;
}

bool isValidUnicode(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            return false;
    }
    return true;
}

} // namespace

QString encodeQueryValue(const QString &text)
{
    if (!isValidUnicode(text))
        return {};
    static constexpr char hex[] = "0123456789ABCDEF";
    QString result;
    const QByteArray utf8 = text.toUtf8();
    result.reserve(utf8.size() * 3);
    for (const char c : utf8) {
        if (keptInQuery(c)) {
            result.append(QLatin1Char(c));
        } else {
            const auto byte = static_cast<unsigned char>(c);
            result.append(u'%');
            result.append(QLatin1Char(hex[byte >> 4]));
            result.append(QLatin1Char(hex[byte & 0xF]));
        }
    }
    return result;
}

QString searchPath(const QString &trimmedText)
{
    return u"/api/store/search?q="_s + encodeQueryValue(trimmedText);
}

QString homePath()
{
    return u"/api/store/home"_s;
}

QString detailPath(const QString &slug)
{
    return u"/api/store/apps/"_s + slug;
}

QString categoryPath(const QString &categorySlug)
{
    return u"/api/store/apps?category="_s + QString::fromLatin1(QUrl::toPercentEncoding(categorySlug)) +
        u"&perPage=40"_s;
}

QCoro::Task<ApiResult<NetdiskPayload>> netdisk(QString slug)
{
    return get<NetdiskPayload>(u"/api/store/apps/"_s + slug + u"/netdisk"_s);
}

QCoro::Task<ApiResult<LoginResult>> login(QString email, QString password)
{
    return post<LoginResult>(u"/api/auth/login"_s, QVariantMap{{u"email"_s, email}, {u"password"_s, password}});
}

QCoro::Task<> logout()
{
    const std::optional<QUrl> url = Endpoint::url(u"/api/auth/logout"_s);
    if (!url)
        co_return;
    QNetworkRequest request(Transport::onTheWire(*url));
    request.setTransferTimeout(Transport::postTimeoutMs);
    QPointer<QNetworkReply> reply = sharedNetwork().sendCustomRequest(request, "POST");
    Transport::guard(reply, Transport::maxReplyBytes, Transport::postTimeoutMs);
    co_await reply.get();
    if (reply)
        reply->deleteLater();
}

QCoro::Task<ApiResult<WallpaperPayload>> wallpaperList(std::optional<QString> collection)
{
    QString path = u"/api/store/wallpapers"_s;
    if (collection && *collection != "all"_L1)
        path += u"?collection="_s + *collection;
    return get<WallpaperPayload>(path);
}

QCoro::Task<ApiResult<WallpaperDownload>> wallpaperDownload(QString slug, bool full)
{
    return post<WallpaperDownload>(u"/api/store/wallpapers"_s,
                                   QVariantMap{{u"slug"_s, slug}, {u"size"_s, full ? u"full"_s : u"preview"_s}});
}

QCoro::Task<ApiResult<CheckoutPayload>> checkout(int planId, PayType payType, QString gateway)
{
    return post<CheckoutPayload>(
        u"/api/store/checkout"_s,
        QVariantMap{{u"planId"_s, planId}, {u"payType"_s, payTypeKey(payType)}, {u"gateway"_s, gateway}});
}

QCoro::Task<ApiResult<OrderStatusPayload>> orderStatus(QString orderNo)
{
    return get<OrderStatusPayload>(u"/api/store/orders?order="_s + orderNo);
}

QCoro::Task<ApiResult<OrderStatusPayload>> account()
{
    return get<OrderStatusPayload>(u"/api/store/orders"_s);
}

QCoro::Task<ApiResult<JSONObject>> mockPay(QString orderNo)
{
    return post<JSONObject>(u"/api/store/orders"_s, QVariantMap{{u"orderNo"_s, orderNo}});
}

} // namespace StoreAPI
