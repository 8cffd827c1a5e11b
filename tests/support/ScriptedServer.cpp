#include "ScriptedServer.h"

#include <QJsonDocument>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>
#include <memory>

namespace {

void trickle(QTcpSocket *socket, const QByteArray &bytes, int intervalMs, bool keepOpen)
{
    auto *timer = new QTimer(socket);
    QObject::connect(timer, &QTimer::timeout, socket, [socket, bytes, timer, keepOpen, sent = qsizetype(0)]() mutable {
        socket->write(bytes.mid(sent++, 1));
        if (sent < bytes.size())
            return;
        timer->stop();
        if (!keepOpen)
            socket->disconnectFromHost();
    });
    timer->start(intervalMs);
}

} // namespace

ScriptedServer::ScriptedServer()
{
    QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
        while (QTcpSocket *socket = m_server.nextPendingConnection())
            serve(socket);
    });
    m_server.listen(QHostAddress::LocalHost, 0);
}

QString ScriptedServer::base() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort());
}

void ScriptedServer::script(const QByteArray &method, const QByteArray &target, QList<ScriptedReply> replies)
{
    m_scripts.insert(method + ' ' + target, std::move(replies));
}

int ScriptedServer::count(const QByteArray &method, const QByteArray &target) const
{
    return int(std::count_if(requests.cbegin(), requests.cend(),
                             [&](const RecordedRequest &r) { return r.method == method && r.target == target; }));
}

void ScriptedServer::serve(QTcpSocket *socket)
{
    QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    auto buffer = std::make_shared<QByteArray>();
    QObject::connect(socket, &QTcpSocket::readyRead, &m_server, [this, socket, buffer] {
        buffer->append(socket->readAll());
        const qsizetype headerEnd = buffer->indexOf("\r\n\r\n");
        if (headerEnd < 0)
            return;
        RecordedRequest request;
        const QList<QByteArray> lines = buffer->left(headerEnd).split('\n');
        const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
        request.method = requestLine.value(0);
        request.target = requestLine.value(1);
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const qsizetype colon = lines[i].indexOf(':');
            if (colon > 0)
                request.headers.insert(lines[i].left(colon).trimmed().toLower(), lines[i].mid(colon + 1).trimmed());
        }
        const qsizetype length = request.headers.value("content-length", "0").toLongLong();
        if (buffer->size() < headerEnd + 4 + length)
            return;
        request.body = buffer->mid(headerEnd + 4, length);
        buffer->clear();
        requests.append(request);
        respond(socket, request);
    });
}

void ScriptedServer::respond(QTcpSocket *socket, const RecordedRequest &request)
{
    const auto script = m_scripts.find(request.method + ' ' + request.target);
    ScriptedReply reply = m_fallback;
    if (script != m_scripts.end() && !script->isEmpty())
        reply = script->size() > 1 ? script->takeFirst() : script->first();
    if (reply.hang)
        return;
    QTimer::singleShot(reply.delayMs, &m_server, [guard = QPointer<QTcpSocket>(socket), reply] {
        if (!guard)
            return;
        if (reply.hangUp) {
            guard->abort();
            return;
        }
        QByteArray head = "HTTP/1.1 " + QByteArray::number(reply.status) +
            " Scripted\r\nContent-Type: " + reply.contentType +
            "\r\nContent-Length: " + QByteArray::number(reply.length < 0 ? reply.body.size() : reply.length) +
            "\r\nConnection: close\r\n";
        for (const auto &[name, value] : reply.headers)
            head += name + ": " + value + "\r\n";
        guard->write(head + "\r\n");
        const QByteArray body = reply.truncate ? reply.body.left(reply.body.size() / 2) : reply.body;
        if (reply.byteIntervalMs > 0) {
            trickle(guard, body, reply.byteIntervalMs, reply.keepOpen);
            return;
        }
        guard->write(body);
        if (!reply.keepOpen)
            guard->disconnectFromHost();
    });
}

quint16 ScriptedServer::deadPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

ScriptedReply json(const QJsonObject &body, int delayMs)
{
    return {.status = 200, .body = QJsonDocument(body).toJson(QJsonDocument::Compact), .delayMs = delayMs};
}

ScriptedReply status(int code, const QByteArray &body)
{
    return {.status = code, .body = body};
}

ScriptedReply hangUp()
{
    return {.hangUp = true};
}
