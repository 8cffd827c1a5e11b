#pragma once
// A scripted HTTP/1.1 server on 127.0.0.1 for the service tests: records every request and answers each
// with the reply the test chose (one reply per connection, then the connection closes).
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPair>
#include <QTcpServer>
#include <functional>

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
};

class TestServer : public QObject
{
    Q_OBJECT
public:
    explicit TestServer(QObject *parent = nullptr);

    [[nodiscard]] QString base() const;
    // Every request gets this reply until changed.
    void reply(ScriptedReply r) { m_reply = std::move(r); }
    void reply(int status, QByteArray body) { m_reply = ScriptedReply{status, std::move(body), {}}; }
    // Requests are read and recorded but never answered.
    void silent() { m_silent = true; }

    QList<RecordedRequest> requests;

    // A port on which nothing listens.
    static quint16 deadPort();

private:
    void serve(QTcpSocket *socket);

    QTcpServer m_server;
    ScriptedReply m_reply;
    bool m_silent = false;
};
