#pragma once
// Blocking HTTP/1.1 over a plain socket, for requests no well-behaved client would send. Usable from any thread;
// the client's source can be any loopback address, so tests can stand for many clients.
#include <QDeadlineTimer>
#include <QHostAddress>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpSocket>

struct RawResponse
{
    int status = 0; // 0: no complete response before the deadline or the connection's end
    QByteArray head;
    QByteArray body;
    [[nodiscard]] QByteArray header(const QByteArray &name) const
    {
        for (const QByteArray &line : head.split('\n')) {
            const qsizetype colon = line.indexOf(':');
            if (colon > 0 && line.left(colon).compare(name, Qt::CaseInsensitive) == 0)
                return line.mid(colon + 1).trimmed();
        }
        return {};
    }
};

class RawConnection
{
public:
    // source: a loopback address such as 127.0.0.7, or null for the default.
    bool open(quint16 port, const QHostAddress &source = {}, int timeoutMs = 3000)
    {
        m_socket.abort();
        m_buffer.clear();
        if (!source.isNull() && !m_socket.bind(source))
            return false;
        m_socket.connectToHost(QHostAddress::LocalHost, port);
        return m_socket.waitForConnected(timeoutMs);
    }

    bool send(const QByteArray &bytes, int timeoutMs = 3000)
    {
        if (m_socket.write(bytes) != bytes.size())
            return false;
        QDeadlineTimer deadline(timeoutMs);
        while (m_socket.bytesToWrite() > 0 && !deadline.hasExpired())
            if (!m_socket.waitForBytesWritten(int(deadline.remainingTime())))
                return false;
        return m_socket.bytesToWrite() == 0;
    }

    // The next response; a HEAD response has no body whatever its Content-Length says.
    RawResponse read(int timeoutMs = 3000, bool head = false)
    {
        QDeadlineTimer deadline(timeoutMs);
        RawResponse response;
        qsizetype end = -1;
        while ((end = m_buffer.indexOf("\r\n\r\n")) < 0)
            if (!fill(deadline))
                return response;
        response.head = m_buffer.left(end + 2);
        m_buffer.remove(0, end + 4);
        const qsizetype length = head ? 0 : response.header("Content-Length").toLongLong();
        while (m_buffer.size() < length)
            if (!fill(deadline))
                return response;
        response.body = m_buffer.left(length);
        m_buffer.remove(0, length);
        response.status = response.head.mid(9, 3).toInt();
        return response;
    }

    // True when the server closes the connection within the time, having sent nothing more.
    bool closedByServer(int timeoutMs = 3000)
    {
        QDeadlineTimer deadline(timeoutMs);
        while (m_buffer.isEmpty() && fill(deadline)) { }
        return m_buffer.isEmpty() && !deadline.hasExpired();
    }

    // True when the server ends the connection within the time; what it still sends is read and dropped.
    bool closedWhileDraining(int timeoutMs = 3000)
    {
        QDeadlineTimer deadline(timeoutMs);
        while (m_socket.state() == QAbstractSocket::ConnectedState && !deadline.hasExpired()) {
            m_socket.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
            m_socket.readAll();
        }
        return m_socket.state() != QAbstractSocket::ConnectedState;
    }

    QTcpSocket &socket() { return m_socket; }

private:
    bool fill(const QDeadlineTimer &deadline)
    {
        if (m_socket.bytesAvailable() == 0 &&
            (m_socket.state() != QAbstractSocket::ConnectedState || deadline.hasExpired() ||
             !m_socket.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())))))
            return false;
        const QByteArray bytes = m_socket.readAll();
        m_buffer += bytes;
        return !bytes.isEmpty();
    }

    QTcpSocket m_socket;
    QByteArray m_buffer;
};

// One request on a fresh connection, from `source` when given; status 0 when no complete answer came. Sign-ins
// queue for the password checks, which a busy machine makes slow: the answer gets a long time.
inline RawResponse exchange(quint16 port, const QByteArray &request, const QHostAddress &source = {})
{
    RawConnection connection;
    if (!connection.open(port, source, 5000) || !connection.send(request))
        return {};
    return connection.read(30'000);
}

inline QByteArray rawGet(const QByteArray &target, const QByteArray &method = "GET", const QByteArray &extra = {})
{
    return method + ' ' + target + " HTTP/1.1\r\nHost: test\r\n" + extra + "\r\n";
}

// A POST as the app sends it (JSON, no Origin) with the extra field lines; fields, when given, replace the type.
inline QByteArray rawPost(const QByteArray &target, const QByteArray &body, const QByteArray &extra = {},
                          const QByteArray &fields = "Content-Type: application/json\r\n")
{
    return "POST " + target + " HTTP/1.1\r\nHost: test\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n" +
        fields + extra + "\r\n" + body;
}

inline QByteArray rawSignIn(const QString &email, const QString &password, const QByteArray &extra = {})
{
    const QJsonObject body{{QStringLiteral("email"), email}, {QStringLiteral("password"), password}};
    return rawPost("/api/auth/login", QJsonDocument(body).toJson(QJsonDocument::Compact), extra);
}

// The session a sign-in's answer set, as a Cookie field line; empty when it set none.
inline QByteArray sessionCookie(const RawResponse &signIn)
{
    const QByteArray cookie = signIn.header("Set-Cookie").split(';').first();
    return cookie.startsWith("vexlo_session=") ? "Cookie: " + cookie + "\r\n" : QByteArray();
}
