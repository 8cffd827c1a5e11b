#include "server/ReplyFramer.h"

#include <QByteArrayList>

namespace {

// The Content-Length of a complete reply head; 0 when it has none or an unreadable one.
qint64 contentLength(const QByteArray &head)
{
    for (const QByteArray &line : head.split('\n')) {
        if (line.size() > 15 && line.first(15).compare("content-length:", Qt::CaseInsensitive) == 0) {
            bool ok = false;
            const qint64 length = line.mid(15).trimmed().toLongLong(&ok);
            return ok && length > 0 ? length : 0;
        }
    }
    return 0;
}

} // namespace

void ReplyFramer::start(Connection connection, bool bodyless)
{
    m_connection = connection;
    m_bodyless = bodyless;
    m_head.clear();
    m_bodyLeft = -1;
}

qsizetype ReplyFramer::write(QByteArrayView chunk, const Send &send)
{
    qsizetype taken = 0;
    if (m_bodyLeft < 0) {
        taken = writeHead(chunk, send);
        chunk = chunk.sliced(taken);
    }
    if (m_bodyLeft <= 0)
        return taken;
    const qint64 n = qMin(m_bodyLeft, qint64(chunk.size()));
    if (n > 0 && !m_bodyless) {
        if (m_head.isEmpty()) {
            send(chunk.first(n));
        } else {
            // The head goes out with the start of the body: written apart, each would take a buffer of its own in
            // the wire (32 KB for a head of a few hundred bytes) for as long as the reply is on its way.
            m_head.append(chunk.data(), n);
            send(m_head);
            m_head.clear();
        }
    }
    m_bodyLeft -= n;
    return taken + n;
}

qsizetype ReplyFramer::writeHead(QByteArrayView chunk, const Send &send)
{
    const qsizetype before = m_head.size();
    m_head.append(chunk);
    const qsizetype end = m_head.indexOf("\r\n\r\n", qMax<qsizetype>(0, before - 3));
    if (end < 0)
        return chunk.size();
    m_head.truncate(end + 4);
    m_bodyLeft = contentLength(m_head);
    if (m_connection == Connection::close)
        m_head.insert(end + 2, "Connection: close\r\n");
    else if (m_connection == Connection::keepAlive)
        m_head.insert(end + 2, "Connection: keep-alive\r\n");
    if (m_bodyLeft == 0 || m_bodyless) {
        send(m_head);
        m_head.clear();
    }
    return end + 4 - before;
}
