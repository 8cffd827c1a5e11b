#include "server/HttpFront.h"
#include "server/Logging.h"
#include "server/ReplyFramer.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QMetaMethod>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>
#include <sys/socket.h>

namespace HttpFrontDetail {

QByteArray refusal(int status)
{
    struct Reason
    {
        int status;
        const char *phrase;
        const char16_t *message;
    };
    static constexpr Reason reasons[] = {
        {400, "Bad Request", u"请求格式错误"},
        {403, "Forbidden", u"不接受来自其他网站的请求"},
        {408, "Request Timeout", u"请求超时，连接已关闭"},
        {411, "Length Required", u"请求内容需要 Content-Length"},
        {413, "Payload Too Large", u"请求内容过大"},
        {414, "URI Too Long", u"请求地址过长"},
        {415, "Unsupported Media Type", u"请求内容须为 JSON（Content-Type: application/json）"},
        {417, "Expectation Failed", u"不支持的 Expect 请求头"},
        {431, "Request Header Fields Too Large", u"请求头过大"},
        {501, "Not Implemented", u"不支持的请求方法"},
        {505, "HTTP Version Not Supported", u"不支持的 HTTP 版本"},
    };
    const Reason *reason = &reasons[0];
    for (const Reason &r : reasons)
        if (r.status == status)
            reason = &r;
    const QByteArray body = QJsonDocument(QJsonObject{{QStringLiteral("error"), QString::fromUtf16(reason->message)}})
                                .toJson(QJsonDocument::Compact);
    return "HTTP/1.1 " + QByteArray::number(reason->status) + ' ' + reason->phrase +
        "\r\nContent-Type: application/json\r\nCache-Control: no-store\r\nConnection: close\r\nContent-Length: " +
        QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

} // namespace HttpFrontDetail

namespace {

// What QHttpServer sees as a connection. The network socket (the wire) belongs to it; QHttpServer reads only the
// requests let through and its replies pass back through writeData on their way to the wire.
class FrontSocket final : public QTcpSocket
{
public:
    FrontSocket(QTcpSocket *wire, const FrontLimits &limits, const QByteArray &publicOrigin, QObject *parent);
    ~FrontSocket() override;

    [[nodiscard]] qint64 bytesAvailable() const override { return QTcpSocket::bytesAvailable() + m_forward.size(); }
    void disconnectFromHost() override;

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 size) override;

private:
    // waiting: a reply is done, but the next request waits until the client has read enough of the output.
    enum class Phase { idle, head, body, responding, waiting, closing };

    void process();
    void handOver();
    void refuse(int status);
    void lingerAfterRefusal();
    void drain();
    void responseDone();
    void outputMoved();
    void deadlinePassed();
    void closeWire();
    void wireGone();
    void arm(int ms) { m_deadline.start(ms); }

    QPointer<QTcpSocket> m_wire;
    const FrontLimits m_limits;
    const QByteArray m_publicOrigin;
    QTimer m_deadline;
    Phase m_phase = Phase::idle;
    QByteArray m_in; // received, not yet let through
    QByteArray m_forward; // the current request, for QHttpServer to read
    qint64 m_bodyLeft = 0;
    ReplyFramer::Connection m_connection = ReplyFramer::Connection::persistent;
    bool m_headRequest = false;
    bool m_shutDown = false;
    qint64 m_drained = 0;
    ReplyFramer m_reply;
};

FrontSocket::FrontSocket(QTcpSocket *wire, const FrontLimits &limits, const QByteArray &publicOrigin, QObject *parent)
    : QTcpSocket(parent)
    , m_wire(wire)
    , m_limits(limits)
    , m_publicOrigin(publicOrigin)
{
    wire->setParent(this);
    wire->setReadBufferSize(limits.readBufferBytes);
    setPeerAddress(wire->peerAddress());
    setPeerPort(wire->peerPort());
    setLocalAddress(wire->localAddress());
    setLocalPort(wire->localPort());
    setSocketState(QAbstractSocket::ConnectedState);
    setOpenMode(QIODevice::ReadWrite);

    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, &FrontSocket::deadlinePassed);
    connect(wire, &QTcpSocket::readyRead, this, &FrontSocket::process);
    connect(wire, &QTcpSocket::disconnected, this, &FrontSocket::wireGone);
    connect(wire, &QTcpSocket::bytesWritten, this, &FrontSocket::outputMoved);
    arm(m_limits.idleMs);
    if (wire->bytesAvailable() > 0)
        QMetaObject::invokeMethod(this, &FrontSocket::process, Qt::QueuedConnection);
}

FrontSocket::~FrontSocket()
{
    // Let a reply still in the wire's buffer go out before the connection closes.
    if (m_wire && m_wire->state() == QAbstractSocket::ConnectedState) {
        QTcpSocket *wire = m_wire;
        wire->disconnect(this);
        wire->setParent(nullptr);
        connect(wire, &QTcpSocket::disconnected, wire, &QObject::deleteLater);
        QTimer::singleShot(m_limits.lingerMs, wire, [wire] {
            wire->abort();
            wire->deleteLater();
        });
        wire->disconnectFromHost();
    }
}

void FrontSocket::disconnectFromHost()
{
    if (m_phase != Phase::closing)
        closeWire();
    QTcpSocket::disconnectFromHost();
}

// Closes after what was written has gone out, or at the idle time-out if the client stops reading.
void FrontSocket::closeWire()
{
    m_phase = Phase::closing;
    arm(m_limits.idleMs);
    if (m_wire)
        m_wire->disconnectFromHost();
}

qint64 FrontSocket::readData(char *data, qint64 maxSize)
{
    const qint64 n = qMin(maxSize, qint64(m_forward.size()));
    std::memcpy(data, m_forward.constData(), size_t(n));
    m_forward.remove(0, n);
    if (m_forward.isEmpty())
        m_forward.clear(); // the request (up to its head and body limits) is not kept while the connection idles
    return n;
}

void FrontSocket::process()
{
    if (!m_wire)
        return;
    if (m_phase == Phase::closing) {
        drain();
        return;
    }
    if (m_phase == Phase::responding || m_phase == Phase::waiting)
        return; // the next request waits in the wire's bounded buffer
    // Bounded, so a client pipelining many requests waits in its own socket buffer instead of in memory here. Only
    // what has arrived is asked for: read(n) allocates n bytes up front and keeps that capacity, which made every
    // connection, however slow, hold a whole read buffer.
    const qint64 room = qMax<qint64>(0, m_limits.readBufferBytes - m_in.size());
    m_in += m_wire->read(qMin(room, m_wire->bytesAvailable()));

    while (!m_in.isEmpty() && (m_phase == Phase::idle || m_phase == Phase::head)) {
        if (m_phase == Phase::idle) {
            m_phase = Phase::head;
            arm(m_limits.requestMs);
        }
        const RequestHead head = parseRequestHead(m_in, m_limits.head);
        if (head.outcome == RequestHead::Outcome::incomplete)
            return;
        if (head.outcome == RequestHead::Outcome::refused) {
            refuse(head.status);
            return;
        }
        if (const int status = forgeryStatus(head, m_publicOrigin)) {
            refuse(status);
            return;
        }
        m_headRequest = head.method == "HEAD";
        m_forward = forwardedHead(m_in, head);
        m_in.remove(0, head.headLength);
        m_connection = !head.keepAlive ? ReplyFramer::Connection::close
            : head.http10              ? ReplyFramer::Connection::keepAlive
                                       : ReplyFramer::Connection::persistent;
        m_bodyLeft = head.contentLength;
        if (head.expectContinue && m_bodyLeft > 0)
            m_wire->write("HTTP/1.1 100 Continue\r\n\r\n");
        m_phase = Phase::body;
        arm(m_limits.requestMs);
    }
    if (m_phase == Phase::body) {
        const qint64 n = qMin(m_bodyLeft, qint64(m_in.size()));
        m_forward.append(m_in.constData(), n);
        m_in.remove(0, n);
        m_bodyLeft -= n;
        if (m_bodyLeft == 0)
            handOver();
    }
}

void FrontSocket::handOver()
{
    m_phase = Phase::responding;
    m_deadline.stop();
    m_reply.start(m_connection, m_headRequest);
    Q_EMIT readyRead();
    // QHttpServer drops every connection of a socket whose request it cannot parse; then the socket is ours to end.
    static const QMetaMethod disconnectedSignal = QMetaMethod::fromSignal(&QTcpSocket::disconnected);
    if (m_phase == Phase::responding && !isSignalConnected(disconnectedSignal)) {
        refuse(400);
        connect(this, &QTcpSocket::disconnected, this, &QObject::deleteLater);
    }
}

qint64 FrontSocket::writeData(const char *data, qint64 size)
{
    if (!m_wire || m_phase != Phase::responding)
        return size;
    const QByteArrayView chunk(data, size);
    const qsizetype taken =
        m_reply.write(chunk, [this](QByteArrayView bytes) { m_wire->write(bytes.data(), bytes.size()); });
    if (m_reply.complete()) {
        if (taken < chunk.size())
            qCWarning(lcServer, "HttpFront: %lld bytes written after a complete reply were dropped",
                      qint64(chunk.size() - taken));
        responseDone();
    }
    return size;
}

// The next request is taken up only while the client keeps reading: what it leaves unread stays within the
// output bound, and a client that reads nothing for the idle time-out is cut off.
void FrontSocket::responseDone()
{
    if (m_connection == ReplyFramer::Connection::close) {
        closeWire();
        return;
    }
    m_phase = Phase::waiting;
    arm(m_limits.idleMs);
    outputMoved();
}

void FrontSocket::outputMoved()
{
    if (!m_wire)
        return;
    switch (m_phase) {
    case Phase::idle:
        arm(m_limits.idleMs); // a client still reading a long reply is not idle
        break;
    case Phase::waiting:
        arm(m_limits.idleMs);
        if (m_wire->bytesToWrite() <= m_limits.maxUnsentBytes) {
            m_phase = Phase::idle;
            // Any request already received is taken up after QHttpServer has finished with this one.
            QMetaObject::invokeMethod(this, &FrontSocket::process, Qt::QueuedConnection);
        }
        break;
    case Phase::closing:
        lingerAfterRefusal();
        break;
    case Phase::head:
    case Phase::body:
    case Phase::responding:
        break;
    }
}

void FrontSocket::refuse(int status)
{
    m_phase = Phase::closing;
    m_in.clear();
    m_forward.clear();
    m_wire->write(HttpFrontDetail::refusal(status));
    m_wire->flush();
    arm(m_limits.lingerMs);
    lingerAfterRefusal();
}

// Closing at once with unread input would reset the connection and could destroy the refusal before the client
// reads it. So the reply is flushed, the sending side shut, and what still arrives is dropped until the client
// closes or the linger time ends.
void FrontSocket::lingerAfterRefusal()
{
    if (m_shutDown || !m_wire || m_wire->bytesToWrite() > 0)
        return;
    m_shutDown = true;
    ::shutdown(int(m_wire->socketDescriptor()), SHUT_WR);
    drain();
}

// Drops a little of what a closing connection still receives (a client usually stops sending once it reads the
// reply); past that, nothing more is read, so a client that keeps sending a large body costs no CPU but waits.
void FrontSocket::drain()
{
    constexpr qint64 kDrainBytes = 1024 * 1024;
    if (m_drained < kDrainBytes)
        m_drained += m_wire->skip(qMin(m_wire->bytesAvailable(), kDrainBytes - m_drained));
}

void FrontSocket::deadlinePassed()
{
    if (!m_wire)
        return;
    switch (m_phase) {
    case Phase::idle:
        closeWire();
        break;
    case Phase::head:
    case Phase::body:
        refuse(408);
        break;
    case Phase::waiting: // nothing of the output went out for the idle time
    case Phase::closing:
        m_wire->abort();
        break;
    case Phase::responding:
        break;
    }
}

void FrontSocket::wireGone()
{
    m_deadline.stop();
    m_phase = Phase::closing;
    if (m_wire)
        m_wire->deleteLater();
    if (state() != QAbstractSocket::UnconnectedState)
        QTcpSocket::disconnectFromHost(); // QHttpServer deletes this socket when it hears of it
}

} // namespace

void HttpFront::incomingConnection(qintptr descriptor)
{
    auto *wire = new QTcpSocket;
    if (!wire->setSocketDescriptor(descriptor)) {
        delete wire;
        return;
    }
    // Replies go out as a head and a body; without this the body waits for the client's delayed acknowledgement.
    wire->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    addPendingConnection(new FrontSocket(wire, m_limits, m_publicOrigin, this));
}
