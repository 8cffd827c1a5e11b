#pragma once
// The store service's operations. get/post decode the reply into any record of CatalogRecords.h or
// CommerceRecords.h, or JSONObject for free-form replies.
#include "service/ApiResult.h"
#include "service/CommerceRecords.h"
#include "service/JSONValue.h"
#include "service/Transport.h"

#include <QString>
#include <QVariantMap>
#include <QtConcurrent/QtConcurrentRun>
#include <QCoro/QCoroFuture>
#include <QCoro/QCoroTask>
#include <optional>

namespace StoreAPI {

namespace detail {
// Bodies at least this large are decoded on a worker thread so the window never stalls.
constexpr qsizetype backgroundDecodeBytes = 256 * 1024;

template <typename T> QCoro::Task<ApiResult<T>> decodeReply(QByteArray body)
{
    if (body.size() < backgroundDecodeBytes)
        co_return Transport::decode<T>(body);
    // The worker owns its bytes (a task argument, released on the worker when it is done) and the future is a
    // local of this frame, alive until the worker has finished. Neither is a temporary of the co_await
    // expression: GCC 12 mishandles those, and a closure holding the bytes was released by the worker and then
    // again by this frame (a heap-use-after-free under AddressSanitizer).
    QFuture<ApiResult<T>> decoding =
        QtConcurrent::run([](const QByteArray &bytes) { return Transport::decode<T>(bytes); }, std::move(body));
    co_return co_await decoding;
}
} // namespace detail

// Decodes a reply body as get and post do.
template <typename T> QCoro::Task<ApiResult<T>> decode(QByteArray body)
{
    co_return co_await detail::decodeReply<T>(std::move(body));
}

// GET with a 15 s time-out; only status 200 decodes, any other status is a server error.
template <typename T> QCoro::Task<ApiResult<T>> get(QString path)
{
    ApiResult<QByteArray> raw = co_await Transport::send(Transport::Method::get, std::move(path), std::nullopt);
    if (!raw.ok())
        co_return raw.error();
    co_return co_await detail::decodeReply<T>(std::move(raw).take());
}

// POST with a 20 s time-out and a compact JSON body (none when absent); 2xx decodes, 401 is unauthorized,
// 402 needsSponsor.
template <typename T> QCoro::Task<ApiResult<T>> post(QString path, std::optional<QVariantMap> body)
{
    ApiResult<QByteArray> raw = co_await Transport::send(Transport::Method::post, std::move(path), std::move(body));
    if (!raw.ok())
        co_return raw.error();
    co_return co_await detail::decodeReply<T>(std::move(raw).take());
}

// The search text percent-encoded as UTF-8 (%XX, upper case) except A-Z a-z 0-9 -._~!$&'()*+,;=:@/?;
// empty when the text is not valid Unicode.
QString encodeQueryValue(const QString &text);
// "/api/store/search?q=" followed by the encoded text.
QString searchPath(const QString &trimmedText);
QString homePath();
QString detailPath(const QString &slug);
// The slug is percent-encoded, so it stays one value of the query.
QString categoryPath(const QString &categorySlug);

QCoro::Task<ApiResult<NetdiskPayload>> netdisk(QString slug);
QCoro::Task<ApiResult<LoginResult>> login(QString email, QString password);
// Asks the service to end the session; ignores every outcome and never fails.
QCoro::Task<> logout();

QCoro::Task<ApiResult<WallpaperPayload>> wallpaperList(std::optional<QString> collection);
QCoro::Task<ApiResult<WallpaperDownload>> wallpaperDownload(QString slug, bool full);
QCoro::Task<ApiResult<CheckoutPayload>> checkout(int planId, PayType payType, QString gateway);
QCoro::Task<ApiResult<OrderStatusPayload>> orderStatus(QString orderNo);
QCoro::Task<ApiResult<OrderStatusPayload>> account();
QCoro::Task<ApiResult<JSONObject>> mockPay(QString orderNo);

} // namespace StoreAPI
