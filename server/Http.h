#pragma once
// Reply builders and request-body checks shared by every route. Error replies are JSON objects whose only
// value is the Chinese "error" text, so clients can read them as string-only objects.
#include <QHostAddress>
#include <QHttpServer>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QHttpServerResponse>
#include <QJsonObject>
#include <QList>
#include <QRegularExpression>
#include <QString>
#include <optional>

namespace Http {

using Status = QHttpServerResponder::StatusCode;

inline constexpr qsizetype kMaxBodyBytes = 16 * 1024;

QHttpServerResponse json(const QJsonObject &body, Status status = Status::Ok);
// An already serialised JSON object, with members put in front of its own (no key may repeat).
QHttpServerResponse json(const QByteArray &serialisedObject, const QJsonObject &prepend = {});
QHttpServerResponse error(Status status, const QString &message);
QHttpServerResponse html(const QString &page, Status status = Status::Ok);

QHttpServerResponse signInRequired();
QHttpServerResponse notFound(const QString &message);

// The request body as one JSON object; on failure *rejection holds the 400 reply to send.
std::optional<QJsonObject> jsonBody(const QHttpServerRequest &request, std::optional<QHttpServerResponse> *rejection);

// Typed members of a body: absent when missing or of another JSON type (a number is never a string, etc.).
std::optional<QString> stringField(const QJsonObject &body, const QString &key);
std::optional<qint64> integerField(const QJsonObject &body, const QString &key);

QString escapeHtml(const QString &text);

// The client's address: the peer's, or when the peer is one of the trusted proxies (a balancer), the last address
// in the X-Forwarded-For it added.
QString clientAddress(const QHttpServerRequest &request, const QList<QHostAddress> &trustedProxies);

// Length in characters (code points), the way a person counts them: an emoji or a rare Han character is one.
qsizetype characterCount(const QString &text);

// The path patterns every route serves and with which methods, so that a path served with other methods is
// answered 405 with an Allow list rather than 404.
class RouteTable
{
public:
    void add(const QString &pattern, QHttpServerRequest::Method method);
    // "GET, HEAD, POST" style list for a path some route serves; empty when none does.
    [[nodiscard]] QByteArray allowed(const QString &path) const;

private:
    struct Entry
    {
        QRegularExpression path;
        QHttpServerRequest::Methods methods;
    };
    QList<Entry> m_entries;
};

// Registers a route with the server and records it in the table.
template <typename Handler>
void route(QHttpServer &server, RouteTable &table, const QString &pattern, QHttpServerRequest::Method method,
           Handler &&handler)
{
    table.add(pattern, method);
    server.route(pattern, method, std::forward<Handler>(handler));
}

// The reply for a request no route took: 405 with Allow when the path is served with other methods (an OPTIONS
// request gets the Allow list with 200, and "OPTIONS *" the methods of the whole service), 404 otherwise.
QHttpServerResponse unrouted(const RouteTable &table, const QHttpServerRequest &request);

} // namespace Http
