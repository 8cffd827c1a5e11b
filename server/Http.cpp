#include "server/Http.h"

#include <QHttpServerRequest>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QJsonValue>
#include <algorithm>
#include <cmath>

namespace Http {

QHttpServerResponse json(const QJsonObject &body, Status status)
{
    QHttpServerResponse response(QByteArrayLiteral("application/json"),
                                 QJsonDocument(body).toJson(QJsonDocument::Compact), status);
    response.addHeader(QByteArrayLiteral("Cache-Control"), QByteArrayLiteral("no-store"));
    return response;
}

QHttpServerResponse json(const QByteArray &serialisedObject, const QJsonObject &prepend)
{
    QByteArray body;
    if (prepend.isEmpty() || serialisedObject.size() < 2) {
        body = serialisedObject;
    } else {
        // "{a}" and "{b}" make "{a,b}"; cheaper than re-serialising a large cached object per request.
        body = QJsonDocument(prepend).toJson(QJsonDocument::Compact);
        body.chop(1);
        if (serialisedObject != "{}")
            body += ',' + serialisedObject.mid(1);
        else
            body += '}';
    }
    QHttpServerResponse response(QByteArrayLiteral("application/json"), std::move(body));
    response.addHeader(QByteArrayLiteral("Cache-Control"), QByteArrayLiteral("no-store"));
    return response;
}

QHttpServerResponse error(Status status, const QString &message)
{
    return json(QJsonObject{{QStringLiteral("error"), message}}, status);
}

QHttpServerResponse html(const QString &page, Status status)
{
    return QHttpServerResponse(QByteArrayLiteral("text/html; charset=utf-8"), page.toUtf8(), status);
}

QHttpServerResponse signInRequired()
{
    return error(Status::Unauthorized, QStringLiteral("请先登录账户"));
}

QHttpServerResponse notFound(const QString &message)
{
    return error(Status::NotFound, message);
}

std::optional<QJsonObject> jsonBody(const QHttpServerRequest &request, std::optional<QHttpServerResponse> *rejection)
{
    const QByteArray body = request.body();
    if (body.size() > kMaxBodyBytes) {
        rejection->emplace(error(Status::BadRequest, QStringLiteral("请求内容过大")));
        return std::nullopt;
    }
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(body, &parseError);
    if (parseError.error != QJsonParseError::NoError || !doc.isObject()) {
        rejection->emplace(error(Status::BadRequest, QStringLiteral("请求格式错误，需要 JSON 对象")));
        return std::nullopt;
    }
    return doc.object();
}

std::optional<QString> stringField(const QJsonObject &body, const QString &key)
{
    const QJsonValue value = body.value(key);
    if (!value.isString())
        return std::nullopt;
    return value.toString();
}

std::optional<qint64> integerField(const QJsonObject &body, const QString &key)
{
    const QJsonValue value = body.value(key);
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (!std::isfinite(number) || std::trunc(number) != number || std::fabs(number) > 9007199254740991.0)
        return std::nullopt;
    return qint64(number);
}

QString clientAddress(const QHttpServerRequest &request, const QList<QHostAddress> &trustedProxies)
{
    const QHostAddress peer = request.remoteAddress();
    const bool trusted = std::any_of(trustedProxies.begin(), trustedProxies.end(), [&peer](const QHostAddress &proxy) {
        return proxy.isEqual(peer, QHostAddress::TolerantConversion);
    });
    if (trusted) {
        // Earlier entries (and headers) come from the client and may be anything; the proxy's own is the last.
        QByteArray forwarded;
        for (const auto &[name, value] : request.headers())
            if (name.compare("x-forwarded-for", Qt::CaseInsensitive) == 0)
                forwarded = value;
        const QHostAddress client(QString::fromLatin1(forwarded.split(',').last().trimmed()));
        if (!client.isNull())
            return client.toString();
    }
    return peer.toString();
}

QString escapeHtml(const QString &text)
{
    return text.toHtmlEscaped();
}

qsizetype characterCount(const QString &text)
{
    qsizetype count = 0;
    for (qsizetype i = 0; i < text.size(); ++i, ++count) {
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
    }
    return count;
}

void RouteTable::add(const QString &pattern, QHttpServerRequest::Method method)
{
    // "<arg>" stands for one path segment, as in QHttpServer's own patterns.
    QStringList parts = pattern.split(QStringLiteral("<arg>"));
    for (QString &part : parts)
        part = QRegularExpression::escape(part);
    const QString expression = QStringLiteral("^") + parts.join(QStringLiteral("[^/]+")) + QStringLiteral("$");
    for (Entry &entry : m_entries) {
        if (entry.path.pattern() == expression) {
            entry.methods |= method;
            return;
        }
    }
    m_entries.append(Entry{QRegularExpression(expression), method});
}

QByteArray RouteTable::allowed(const QString &path) const
{
    using Method = QHttpServerRequest::Method;
    QHttpServerRequest::Methods methods;
    for (const Entry &entry : m_entries)
        if (entry.path.match(path).hasMatch())
            methods |= entry.methods;
    if (!methods)
        return {};
    QByteArrayList names;
    if (methods & Method::Get)
        names << "GET"
              << "HEAD";
    if (methods & Method::Post)
        names << "POST";
    names << "OPTIONS";
    return names.join(", ");
}

QHttpServerResponse unrouted(const RouteTable &table, const QHttpServerRequest &request)
{
    const QString path = request.url().path();
    if (path == QLatin1String("*") && request.method() == QHttpServerRequest::Method::Options) {
        QHttpServerResponse response(Status::Ok); // the service as a whole
        response.addHeader(QByteArrayLiteral("Allow"), QByteArrayLiteral("GET, HEAD, POST, OPTIONS"));
        return response;
    }
    const QByteArray allow = table.allowed(path);
    if (allow.isEmpty())
        return error(Status::NotFound, QStringLiteral("未找到：%1").arg(path));
    QHttpServerResponse response = request.method() == QHttpServerRequest::Method::Options
        ? QHttpServerResponse(Status::Ok)
        : error(Status::MethodNotAllowed, QStringLiteral("该地址不支持此请求方法"));
    response.addHeader(QByteArrayLiteral("Allow"), allow);
    return response;
}

} // namespace Http
