#pragma once
// Reply builders and request-body checks shared by every route. Error replies are JSON objects whose only
// value is the Chinese "error" text, so clients can read them as string-only objects.
#include <QHttpServerResponder>
#include <QHttpServerResponse>
#include <QJsonObject>
#include <QString>
#include <optional>

class QHttpServerRequest;

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

} // namespace Http
