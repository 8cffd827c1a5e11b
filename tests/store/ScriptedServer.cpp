#include "ScriptedServer.h"

#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

ScriptedServer::ScriptedServer(QObject *parent) : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
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
    int n = 0;
    for (const RecordedRequest &r : m_requests)
        n += (r.method == method && r.target == target) ? 1 : 0;
    return n;
}

void ScriptedServer::serve(QTcpSocket *socket)
{
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    auto buffer = std::make_shared<QByteArray>();
    connect(socket, &QTcpSocket::readyRead, this, [this, socket, buffer] {
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
        RecordedRequest request{requestLine.value(0), requestLine.value(1), buffer->mid(headerEnd + 4, length)};
        buffer->clear();
        m_requests.append(request);
        respond(socket, request);
    });
}

void ScriptedServer::respond(QTcpSocket *socket, const RecordedRequest &request)
{
    QList<ScriptedReply> &queue = m_scripts[request.method + ' ' + request.target];
    ScriptedReply reply;
    if (queue.isEmpty())
        reply = {404, R"({"error":"no script"})"};
    else
        reply = queue.size() > 1 ? queue.takeFirst() : queue.first();

    QPointer<QTcpSocket> guard(socket);
    QTimer::singleShot(reply.delayMs, this, [guard, reply] {
        if (!guard)
            return;
        if (reply.hangUp) {
            guard->abort();
            return;
        }
        QByteArray out = "HTTP/1.1 " + QByteArray::number(reply.status) + " Scripted\r\n";
        out += "Content-Type: " + reply.contentType + "\r\n";
        out += "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n";
        out += "Connection: close\r\n\r\n";
        out += reply.truncate ? reply.body.left(reply.body.size() / 2) : reply.body;
        guard->write(out);
        guard->disconnectFromHost();
    });
}
