#pragma once
// A scripted HTTP/1.1 service on 127.0.0.1 for the tests of every folder. Replies are scripted per
// "METHOD target" (in order, the last one repeated) with one fallback for everything else, and every request is
// recorded. Replies go out on later event-loop turns, optionally after a delay, like a real service; a reply
// can also hang (never answer), hang up (close without a reply), break off halfway through its body, announce
// another length or trickle. It serves on the thread it was made on.
#include <QByteArray>
#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QPair>
#include <QString>
#include <QTcpServer>

class QTcpSocket;

struct RecordedRequest
{
    QByteArray method;
    QByteArray target;
    QHash<QByteArray, QByteArray> headers; // names in lower case
    QByteArray body;
};

struct ScriptedReply
{
    int status = 200;
    QByteArray body = "{}";
    QList<QPair<QByteArray, QByteArray>> headers;
    int delayMs = 0;
    QByteArray contentType = "application/json";
    // Announce the full length but send only half the body, then close: a transfer broken midway.
    bool truncate = false;
    // Close the connection without any reply.
    bool hangUp = false;
    // Keep the connection open and never answer.
    bool hang = false;
    // The Content-Length announced, when not the body's size (-1).
    qint64 length = -1;
    // Leave the connection open once the body is sent.
    bool keepOpen = false;
    // Send the head at once and then the body one byte at a time, this many milliseconds apart.
    int byteIntervalMs = 0;
};

class ScriptedServer
{
public:
    ScriptedServer();

    [[nodiscard]] QString base() const;

    // Replies to "METHOD target" in order; the last one is repeated. Replaces an earlier script for it.
    void script(const QByteArray &method, const QByteArray &target, QList<ScriptedReply> replies);
    void script(const QByteArray &method, const QByteArray &target, ScriptedReply reply)
    {
        script(method, target, QList<ScriptedReply>{std::move(reply)});
    }
    // The reply to every request without a script (200 "{}" until changed).
    void reply(ScriptedReply reply) { m_fallback = std::move(reply); }
    void reply(int status, QByteArray body) { m_fallback = ScriptedReply{status, std::move(body)}; }

    [[nodiscard]] int count(const QByteArray &method, const QByteArray &target) const;

    QList<RecordedRequest> requests;

    // A port on which nothing listens.
    static quint16 deadPort();

private:
    void serve(QTcpSocket *socket);
    void respond(QTcpSocket *socket, const RecordedRequest &request);

    QTcpServer m_server;
    QHash<QByteArray, QList<ScriptedReply>> m_scripts;
    ScriptedReply m_fallback;
};

// Reply builders for scripts and test tables.
ScriptedReply json(const QJsonObject &body, int delayMs = 0);
ScriptedReply status(int code, const QByteArray &body = {});
ScriptedReply hangUp();
