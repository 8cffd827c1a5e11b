#pragma once
// The shared machinery behind StoreAPI::get/post: one request through the shared manager, the status
// rules, the error-body rule and strict decoding of the reply body.
#include "service/ApiResult.h"
#include "service/JSONValue.h"
#include "service/JsonReader.h"
#include "service/Logging.h"

#include <QByteArray>
#include <QJsonValue>
#include <QString>
#include <QUrl>
#include <QVariantMap>
#include <QCoro/QCoroTask>
#include <optional>

class QNetworkReply;

namespace Transport {

enum class Method { get, post };

constexpr int getTimeoutMs = 15000;
constexpr int postTimeoutMs = 20000;
// Replies declaring or delivering more than this are refused unread: no reply of the service comes near it, and
// holding one would cost the memory of a flood and the GUI thread's time to copy it.
constexpr qint64 maxReplyBytes = 8 * 1024 * 1024;

// Why a reply was stopped before it finished.
enum class Stop { none, tooLarge, deadline, cancelled };

// Aborts `reply` as soon as its declared length or its buffered bytes pass maxBytes, and once it has run for
// deadlineMs in all: the network layer's own time-out only counts a stall, so a reply dripping a byte at a time
// would run on for ever. What stopped it is kept on the reply (stopReason).
void guard(QNetworkReply *reply, qint64 maxBytes, int deadlineMs);
// Aborts a reply still running and keeps the reason on it. The abort may finish the reply and run whatever its
// finished signal resumes before this returns.
void stop(QNetworkReply *reply, Stop reason);
[[nodiscard]] Stop stopReason(const QNetworkReply *reply);

// The address to hand to the network layer. Qt's HTTP layer collapses a leading "//" of the path (as a
// base ending in "/" produces); a "/." in front survives that normalisation as exactly the original path.
QUrl onTheWire(QUrl url);

// Sends one request; on success the body to decode (GET: status 200; POST: 200-299).
QCoro::Task<ApiResult<QByteArray>> send(Method method, QString path, std::optional<QVariantMap> body);

// The message of a failed reply: its "error" when the body is a JSON object of strings only,
// otherwise "请求失败（status）".
QString errorMessage(const QByteArray &body, int status);

// Parses the body; absent with error set when it is not JSON.
std::optional<QJsonValue> parseBody(const QByteArray &body, QString *error);

// How a reply body becomes a record: parsed in place and read by the record's fromJson. A body the fast
// parser refuses goes through Qt's parser, which words the error and takes the few inputs only it accepts
// (a byte-order mark, lone surrogate escapes, integers beyond 64 bits). Free-form objects are read as
// JSONValues.
template <typename T> struct Decoder
{
    static std::optional<T> decode(const QByteArray &body, QString *error)
    {
        std::optional<T> value;
        if (JsonReader::parse(body, [&](const JsonNode &root) { value = T::fromJson(root, error); }))
            return value;
        const auto json = parseBody(body, error);
        return json ? T::fromJson(*json, error) : std::nullopt;
    }
};
template <> struct Decoder<JSONObject>
{
    static std::optional<JSONObject> decode(const QByteArray &body, QString *error)
    {
        const auto json = parseBody(body, error);
        return json ? jsonObjectFromJson(*json, error) : std::nullopt;
    }
};

template <typename T> ApiResult<T> decode(const QByteArray &body)
{
    QString error;
    std::optional<T> value = Decoder<T>::decode(body, &error);
    if (!value) {
        qCWarning(lcService).noquote() << "reply not decoded:" << error;
        return ApiError::decodingFailure(error);
    }
    return std::move(*value);
}

} // namespace Transport
