#include "service/Transport.h"
#include "service/Endpoint.h"
#include "service/Network.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QScopeGuard>
#include <QCoro/QCoroNetworkReply>

using namespace Qt::StringLiterals;

namespace Transport {

namespace {

// Errors below 200 are connection and proxy failures; the rest describe an HTTP reply.
bool isTransportError(QNetworkReply::NetworkError error)
{
    return error != QNetworkReply::NoError && error < QNetworkReply::ContentAccessDenied;
}

ApiResult<QByteArray> getOutcome(int status, QByteArray body)
{
    if (status == 200)
        return body;
    return StoreError::server(errorMessage(body, status), status);
}

ApiResult<QByteArray> postOutcome(int status, QByteArray body)
{
    if (status == 401)
        return StoreError::of(StoreError::Kind::unauthorized);
    if (status == 402)
        return StoreError::of(StoreError::Kind::needsSponsor);
    if (status >= 200 && status <= 299)
        return body;
    return StoreError::server(errorMessage(body, status), status);
}

QNetworkReply *start(Method method, QNetworkRequest request, const std::optional<QVariantMap> &body)
{
    QNetworkAccessManager &network = sharedNetwork();
    request.setRawHeader("Accept", "application/json");
    if (method == Method::get) {
        request.setTransferTimeout(getTimeoutMs);
        return network.get(request);
    }
    request.setTransferTimeout(postTimeoutMs);
    request.setRawHeader("Content-Type", "application/json");
    QByteArray data;
    if (body)
        data = QJsonDocument(QJsonObject::fromVariantMap(*body)).toJson(QJsonDocument::Compact);
    return network.post(request, data);
}

} // namespace

QUrl onTheWire(QUrl url)
{
    if (url.path(QUrl::FullyEncoded).startsWith("//"_L1))
        url.setPath(u"/."_s + url.path(QUrl::FullyEncoded), QUrl::TolerantMode);
    return url;
}

QString errorMessage(const QByteArray &body, int status)
{
    const QJsonDocument doc = QJsonDocument::fromJson(body);
    if (doc.isObject()) {
        const QJsonObject object = doc.object();
        const bool allStrings = std::all_of(object.begin(), object.end(), [](const auto &v) { return v.isString(); });
        if (allStrings && object.contains("error"_L1))
            return object.value("error"_L1).toString();
    }
    return u"请求失败（%1）"_s.arg(status);
}

std::optional<QJsonValue> parseBody(const QByteArray &body, QString *error)
{
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(body, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        if (error)
            *error = u"reply is not JSON: "_s + parseError.errorString();
        return std::nullopt;
    }
    if (doc.isArray())
        return QJsonValue(doc.array());
    return QJsonValue(doc.object());
}

QCoro::Task<ApiResult<QByteArray>> send(Method method, QString path, std::optional<QVariantMap> body)
{
    const std::optional<QUrl> url = Endpoint::url(path);
    if (!url)
        co_return StoreError::of(StoreError::Kind::badURL);

    QPointer<QNetworkReply> reply = start(method, QNetworkRequest(onTheWire(*url)), body);
    const auto cleanup = qScopeGuard([&reply] {
        if (reply)
            reply->deleteLater();
    });
    co_await reply.get();
    if (!reply)
        co_return ApiError::transportFailure(u"request abandoned"_s);

    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (isTransportError(reply->error()))
        co_return ApiError::transportFailure(reply->errorString());
    if (!status.isValid()) {
        if (reply->error() != QNetworkReply::NoError)
            co_return ApiError::transportFailure(reply->errorString());
        co_return StoreError::of(StoreError::Kind::network);
    }
    QByteArray data = reply->readAll();
    co_return method == Method::get ? getOutcome(status.toInt(), std::move(data))
                                    : postOutcome(status.toInt(), std::move(data));
}

} // namespace Transport
