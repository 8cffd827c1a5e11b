#include "screens/window/InstanceRelay.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

#include <memory>

using namespace Qt::Literals::StringLiterals;

// The message: a first line naming the request, one link per line, and an empty line to end it.
// The running instance answers "ok" once it has taken the links.
namespace {
constexpr auto greeting = "vexlo-activate";
constexpr qsizetype maxMessage = 64 * 1024;
} // namespace

InstanceRelay::InstanceRelay(QString name, QObject *parent)
    : QObject(parent)
    , m_name(std::move(name))
{ }

InstanceRelay::~InstanceRelay() = default;

QString InstanceRelay::defaultName()
{
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!runtime.isEmpty())
        return runtime + u"/vexlo-toolbox.socket"_s;
    return u"vexlo-toolbox-"_s + qEnvironmentVariable("USER", u"user"_s);
}

bool InstanceRelay::handOver(const QStringList &links, int timeoutMs) const
{
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    QByteArray message = QByteArray(greeting) + '\n';
    for (const QString &link : links) {
        QString line = link;
        line.remove(u'\n').remove(u'\r');
        message += line.toUtf8() + '\n';
    }
    message += '\n';
    socket.write(message);
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(timeoutMs))
            return false;
    }
    return socket.readLine().trimmed() == "ok";
}

InstanceRelay::Listening InstanceRelay::listen()
{
    // Someone answering on the name is a running instance. Listening would silently take the name from it
    // (the socket is created aside and renamed into place), so ask first. Nobody answering means the
    // socket, if any, is a leftover of a crash.
    QLocalSocket probe;
    probe.connectToServer(m_name);
    if (probe.waitForConnected(500))
        return Listening::anotherRuns;
    if (!m_server) {
        m_server = new QLocalServer(this);
        m_server->setSocketOptions(QLocalServer::UserAccessOption);
        connect(m_server, &QLocalServer::newConnection, this, &InstanceRelay::accept);
    }
    QLocalServer::removeServer(m_name);
    return m_server->listen(m_name) ? Listening::yes : Listening::failed;
}

void InstanceRelay::accept()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        auto buffer = std::make_shared<QByteArray>();
        connect(socket, &QLocalSocket::readyRead, this, [this, socket, buffer] {
            *buffer += socket->readAll();
            if (buffer->size() > maxMessage) {
                socket->abort();
                return;
            }
            if (!buffer->endsWith("\n\n"))
                return;
            const QList<QByteArray> lines = buffer->split('\n');
            if (lines.first() != greeting) {
                socket->abort();
                return;
            }
            QStringList links;
            for (qsizetype i = 1; i < lines.size(); ++i) {
                if (!lines[i].isEmpty())
                    links.append(QString::fromUtf8(lines[i]));
            }
            socket->disconnect(this);
            socket->write("ok\n");
            socket->flush();
            socket->disconnectFromServer();
            Q_EMIT activated(links);
        });
    }
}
