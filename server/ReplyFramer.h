#pragma once
// One reply as QHttpServer writes it, on its way to the wire: the head gains the connection's Connection field, a
// HEAD request's reply loses its body, and the reply's end is found from its Content-Length. A pure state machine,
// so it can be tested and fuzzed without sockets.
#include <QByteArray>
#include <QByteArrayView>
#include <functional>

class ReplyFramer
{
public:
    enum class Connection {
        persistent, // HTTP/1.1 keeps the connection without saying so
        keepAlive, // an HTTP/1.0 client asked to keep it: the reply must confirm
        close,
    };
    using Send = std::function<void(QByteArrayView)>;

    void start(Connection connection, bool bodyless);
    // Passes the reply's bytes on to send. Returns how many bytes of chunk belonged to the reply: all of them, or
    // fewer when the reply was completed before the chunk's end.
    qsizetype write(QByteArrayView chunk, const Send &send);
    [[nodiscard]] bool complete() const { return m_bodyLeft == 0; }

private:
    qsizetype writeHead(QByteArrayView chunk, const Send &send);

    Connection m_connection = Connection::persistent;
    bool m_bodyless = false;
    QByteArray m_head; // until its blank line, then until the start of the body goes out with it
    qint64 m_bodyLeft = -1; // -1: still in the head
};
