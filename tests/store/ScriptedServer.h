#pragma once
// A small HTTP/1.1 server on 127.0.0.1 for tests: replies are scripted per "METHOD target" and every request
// is recorded. Replies go out on later event-loop turns (optionally after a delay), like a real service.
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPointer>
#include <QString>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>
#include <memory>

struct ScriptedReply
{
    int status = 200;
    QByteArray body;
    int delayMs = 0;
    // Announce the full length but send only half the body, then close: a transfer broken midway.
    bool truncate = false;
    // Close the connection without any reply.
    bool hangUp = false;
    QByteArray contentType = "application/json";
};

struct RecordedRequest
{
    QByteArray method;
    QByteArray target;
    QByteArray body;
};

class ScriptedServer
{
public:
    ScriptedServer()
    {
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection())
                serve(socket);
        });
        m_server.listen(QHostAddress::LocalHost, 0);
    }

    [[nodiscard]] QString base() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort()); }

    // Replies to "METHOD target" in order; the last one is repeated. Replaces an earlier script for it.
    void script(const QByteArray &method, const QByteArray &target, QList<ScriptedReply> replies)
    {
        m_scripts.insert(method + ' ' + target, std::move(replies));
    }
    void script(const QByteArray &method, const QByteArray &target, ScriptedReply reply)
    {
        script(method, target, QList<ScriptedReply>{std::move(reply)});
    }

    [[nodiscard]] const QList<RecordedRequest> &requests() const { return m_requests; }
    [[nodiscard]] int count(const QByteArray &method, const QByteArray &target) const
    {
        return int(std::count_if(m_requests.cbegin(), m_requests.cend(),
                                 [&](const RecordedRequest &r) { return r.method == method && r.target == target; }));
    }

private:
    void serve(QTcpSocket *socket)
    {
        QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        auto buffer = std::make_shared<QByteArray>();
        QObject::connect(socket, &QTcpSocket::readyRead, &m_server, [this, socket, buffer] {
            buffer->append(socket->readAll());
            const qsizetype headerEnd = buffer->indexOf("\r\n\r\n");
            if (headerEnd < 0)
                return;
            const QList<QByteArray> lines = buffer->left(headerEnd).split('\n');
            const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
            qsizetype length = 0;
            for (const QByteArray &line : lines) {
                if (line.toLower().startsWith("content-length:"))
                    length = line.mid(15).trimmed().toLongLong();
            }
            if (buffer->size() < headerEnd + 4 + length)
                return;
            m_requests.append({requestLine.value(0), requestLine.value(1), buffer->mid(headerEnd + 4, length)});
            buffer->clear();
            respond(socket, m_requests.last());
        });
    }

    void respond(QTcpSocket *socket, const RecordedRequest &request)
    {
        QList<ScriptedReply> &queue = m_scripts[request.method + ' ' + request.target];
        const ScriptedReply reply = queue.isEmpty() ? ScriptedReply{404, R"({"error":"no script"})"}
            : queue.size() > 1                      ? queue.takeFirst()
                                                    : queue.first();
        QTimer::singleShot(reply.delayMs, &m_server, [guard = QPointer<QTcpSocket>(socket), reply] {
            if (!guard)
                return;
            if (reply.hangUp) {
                guard->abort();
                return;
            }
            guard->write(
                "HTTP/1.1 " + QByteArray::number(reply.status) + " Scripted\r\nContent-Type: " + reply.contentType +
                "\r\nContent-Length: " + QByteArray::number(reply.body.size()) + "\r\nConnection: close\r\n\r\n" +
                (reply.truncate ? reply.body.left(reply.body.size() / 2) : reply.body));
            guard->disconnectFromHost();
        });
    }

    QTcpServer m_server;
    QHash<QByteArray, QList<ScriptedReply>> m_scripts;
    QList<RecordedRequest> m_requests;
};
