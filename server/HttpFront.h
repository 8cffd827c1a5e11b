#pragma once
// The listening side of the service. Each accepted connection is read here first: a request reaches the HTTP
// server only once its head is within the limits and its whole Content-Length body has arrived, one request at a
// time; anything else is refused with its status and the connection closed. Idle and slow connections are closed
// after their time-outs, HEAD is answered as GET without the body, and "Connection: close" is honoured. A client's
// next request waits while its unread output is above a bound, and state-changing requests from other sites are
// refused.
#include "server/RequestHead.h"

#include <QTcpServer>

struct FrontLimits
{
    HeadLimits head;
    int idleMs = 30'000; // between requests
    int requestMs = 10'000; // for a request's head, and again for its body
    int lingerMs = 2'000; // reading and dropping what a refused client still sends
    qint64 readBufferBytes = 64 * 1024; // per connection, read ahead of the parser; more than a whole head
    // Output a client has not read yet, past which its next request waits; a few replies of the largest kind.
    qint64 maxUnsentBytes = 1024 * 1024;
    int listenBacklog = 1024; // connections the system holds for accepting; the default 50 overflows in bursts
};

class HttpFront : public QTcpServer
{
public:
    explicit HttpFront(const FrontLimits &limits, QObject *parent = nullptr)
        : QTcpServer(parent)
        , m_limits(limits)
    {
        setListenBacklogSize(limits.listenBacklog);
    }

    // "scheme://host[:port]" of the address the service is reached at: state-changing requests a page of another
    // origin sends are refused.
    void setPublicOrigin(const QByteArray &origin) { m_publicOrigin = origin; }

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    FrontLimits m_limits;
    QByteArray m_publicOrigin;
};

namespace HttpFrontDetail {
// The complete error reply the front sends for a refused request (JSON body with a Chinese "error" text).
QByteArray refusal(int status);
} // namespace HttpFrontDetail
