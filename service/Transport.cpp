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
#include <QTimer>
#include <QCoro/QCoroNetworkReply>
#include <QCoro/QCoroTimer>

using namespace Qt::StringLiterals;

namespace Transport {

namespace {

constexpr char stopProperty[] = "vexloStop";

// An error body is parsed on the GUI thread for its message only while it is this short.
constexpr qsizetype maxErrorBodyBytes = 64 * 1024;
// The most of a body copied out of the reply in one turn of the event loop. A copy this size takes well under a
// millisecond; every further turn can wait a whole frame, so ordinary replies (the largest catalogue page is
// under 1 MB) are copied in one.
constexpr qint64 sliceBytes = 2 * 1024 * 1024;

// Errors below 200 are connection and proxy failures; the rest describe an HTTP reply.
bool isTransportError(QNetworkReply::NetworkError error)
{
    return error != QNetworkReply::NoError && error < QNetworkReply::ContentAccessDenied;
}

// What the user is told of a transport failure. The network layer's own transfer time-out ends a reply as
// cancelled; this code cancels nothing without keeping a stop reason.
ApiError::Cause causeOf(QNetworkReply::NetworkError error)
{
    switch (error) {
    case QNetworkReply::TimeoutError:
    case QNetworkReply::OperationCanceledError:
    case QNetworkReply::ProxyTimeoutError:
        return ApiError::Cause::timedOut;
    case QNetworkReply::RemoteHostClosedError:
    case QNetworkReply::TooManyRedirectsError:
    case QNetworkReply::InsecureRedirectError:
        return ApiError::Cause::badReply;
    default:
        return ApiError::Cause::noConnection;
    }
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
    QNetworkReply *reply = nullptr;
    if (method == Method::get) {
        request.setTransferTimeout(getTimeoutMs);
        reply = network.get(request);
    } else {
        request.setTransferTimeout(postTimeoutMs);
        request.setRawHeader("Content-Type", "application/json");
        QByteArray data;
        if (body)
            data = QJsonDocument(QJsonObject::fromVariantMap(*body)).toJson(QJsonDocument::Compact);
        reply = network.post(request, data);
    }
    guard(reply, maxReplyBytes, method == Method::get ? getTimeoutMs : postTimeoutMs);
    return reply;
}

} // namespace

void stop(QNetworkReply *reply, Stop reason)
{
    if (reply->isFinished())
        return;
    reply->setProperty(stopProperty, int(reason));
    reply->abort();
}

void guard(QNetworkReply *reply, qint64 maxBytes, int deadlineMs)
{
    const auto refuseOver = [reply, maxBytes](qint64 bytes) {
        if (bytes > maxBytes)
            stop(reply, Stop::tooLarge);
    };
    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [reply, refuseOver] {
        refuseOver(reply->header(QNetworkRequest::ContentLengthHeader).toLongLong());
    });
    QObject::connect(reply, &QNetworkReply::readyRead, reply,
                     [reply, refuseOver] { refuseOver(reply->bytesAvailable()); });
    // A child of the reply: it goes when the reply does.
    auto *deadline = new QTimer(reply);
    deadline->setSingleShot(true);
    QObject::connect(deadline, &QTimer::timeout, reply, [reply] { stop(reply, Stop::deadline); });
    QObject::connect(reply, &QNetworkReply::finished, deadline, &QTimer::stop);
    deadline->start(deadlineMs);
}

Stop stopReason(const QNetworkReply *reply)
{
    return Stop(reply->property(stopProperty).toInt());
}

QUrl onTheWire(QUrl url)
{
    if (url.path(QUrl::FullyEncoded).startsWith("//"_L1))
        url.setPath(u"/."_s + url.path(QUrl::FullyEncoded), QUrl::TolerantMode);
    return url;
}

QString errorMessage(const QByteArray &body, int status)
{
    const QJsonDocument doc = body.size() <= maxErrorBodyBytes ? QJsonDocument::fromJson(body) : QJsonDocument();
    if (doc.isObject()) {
        const QJsonObject object = doc.object();
        const bool allStrings = std::all_of(object.begin(), object.end(), [](const auto &v) { return v.isString(); });
        if (allStrings && object.contains("error"_L1))
            return object.value("error"_L1).toString();
    }
    return StoreError::statusMessage(status);
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
        if (reply) {
            reply->disconnect();
            reply->deleteLater();
        }
    });
    co_await reply.get();
    if (!reply)
        co_return ApiError::transportFailure(u"request abandoned"_s);
    switch (stopReason(reply)) {
    case Stop::tooLarge:
        qCWarning(lcService) << "reply refused: larger than" << maxReplyBytes << "bytes";
        co_return ApiError::transportFailure(u"reply too large"_s, ApiError::Cause::badReply);
    case Stop::deadline:
        qCWarning(lcService).noquote() << "reply stopped: no answer within its time-out" << path;
        co_return ApiError::transportFailure(u"timed out"_s, ApiError::Cause::timedOut);
    case Stop::cancelled:
        co_return ApiError::transportFailure(u"request abandoned"_s);
    case Stop::none:
        break;
    }

    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (isTransportError(reply->error()))
        co_return ApiError::transportFailure(reply->errorString(), causeOf(reply->error()));
    if (!status.isValid()) {
        if (reply->error() != QNetworkReply::NoError)
            co_return ApiError::transportFailure(reply->errorString(), ApiError::Cause::badReply);
        co_return StoreError::of(StoreError::Kind::network);
    }
    // Copied out in slices, one per turn of the event loop: one copy of a large body stalls the GUI thread.
    QByteArray data;
    data.reserve(reply->bytesAvailable());
    while (reply && reply->bytesAvailable() > 0) {
        const qsizetype at = data.size();
        data.resize(at + std::min(reply->bytesAvailable(), sliceBytes));
        const qint64 read = reply->read(data.data() + at, data.size() - at);
        data.resize(at + std::max<qint64>(read, 0));
        if (read <= 0)
            break;
        if (reply->bytesAvailable() > 0) {
            QTimer nextTurn;
            nextTurn.setSingleShot(true);
            nextTurn.start(0);
            co_await nextTurn;
        }
    }
    if (!reply)
        co_return ApiError::transportFailure(u"request abandoned"_s);
    co_return method == Method::get ? getOutcome(status.toInt(), std::move(data))
                                    : postOutcome(status.toInt(), std::move(data));
}

} // namespace Transport
