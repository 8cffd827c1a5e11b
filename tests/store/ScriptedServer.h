#pragma once
// A small HTTP/1.1 server on 127.0.0.1 for tests: replies are scripted per "METHOD target" and every request
// is recorded. Replies go out on later event-loop turns (optionally after a delay), like a real service.
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QTcpServer>

struct ScriptedReply {
    int status = 200;
    QByteArray body;
    int delayMs = 0;
    // Announce the full length but send only half the body, then close: a transfer broken midway.
    bool truncate = false;
    // Close the connection without any reply.
    bool hangUp = false;
    QByteArray contentType = "application/json";
};

struct RecordedRequest {
    QByteArray method;
    QByteArray target;
    QByteArray body;
};

class ScriptedServer : public QObject
{
    Q_OBJECT
public:
    explicit ScriptedServer(QObject *parent = nullptr);

    [[nodiscard]] QString base() const;
    // Replies to "METHOD target" in order; the last one is repeated. Replaces an earlier script for it.
    void script(const QByteArray &method, const QByteArray &target, QList<ScriptedReply> replies);
    void script(const QByteArray &method, const QByteArray &target, ScriptedReply reply)
    {
        script(method, target, QList<ScriptedReply>{std::move(reply)});
    }

    [[nodiscard]] const QList<RecordedRequest> &requests() const { return m_requests; }
    [[nodiscard]] int count(const QByteArray &method, const QByteArray &target) const;

private:
    void serve(class QTcpSocket *socket);
    void respond(QTcpSocket *socket, const RecordedRequest &request);

    QTcpServer m_server;
    QHash<QByteArray, QList<ScriptedReply>> m_scripts;
    QList<RecordedRequest> m_requests;
};
