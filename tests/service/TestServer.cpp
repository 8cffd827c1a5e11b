#include "TestServer.h"

#include <QTcpSocket>

TestServer::TestServer(QObject *parent)
    : QObject(parent)
{
    m_server.listen(QHostAddress::LocalHost, 0);
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            auto buffer = std::make_shared<QByteArray>();
            connect(socket, &QTcpSocket::readyRead, socket, [this, socket, buffer] {
                buffer->append(socket->readAll());
                const qsizetype headerEnd = buffer->indexOf("\r\n\r\n");
                if (headerEnd < 0)
                    return;
                RecordedRequest request;
                const QList<QByteArray> lines = buffer->left(headerEnd).split('\n');
                const QList<QByteArray> requestLine = lines.first().trimmed().split(' ');
                request.method = requestLine.value(0);
                request.target = requestLine.value(1);
                for (qsizetype i = 1; i < lines.size(); ++i) {
                    const qsizetype colon = lines[i].indexOf(':');
                    if (colon > 0)
                        request.headers.insert(lines[i].left(colon).trimmed().toLower(),
                                               lines[i].mid(colon + 1).trimmed());
                }
                const qsizetype length = request.headers.value("content-length", "0").toLongLong();
                if (buffer->size() < headerEnd + 4 + length)
                    return;
                request.body = buffer->mid(headerEnd + 4, length);
                buffer->clear();
                requests.append(request);
                serve(socket);
            });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

QString TestServer::base() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort());
}

void TestServer::serve(QTcpSocket *socket)
{
    if (m_silent)
        return;
    QByteArray out = "HTTP/1.1 " + QByteArray::number(m_reply.status) + " Scripted\r\n";
    out += "Content-Length: " + QByteArray::number(m_reply.body.size()) + "\r\n";
    out += "Connection: close\r\n";
    for (const auto &[name, value] : m_reply.headers)
        out += name + ": " + value + "\r\n";
    out += "\r\n" + m_reply.body;
    socket->write(out);
    socket->disconnectFromHost();
}

quint16 TestServer::deadPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}
