#pragma once
// The listening side of the service. Each accepted connection is read here first: a request reaches the HTTP
// server only once its head is within the limits and its whole Content-Length body has arrived, one request at a
// time; anything else is refused with its status and the connection closed. Idle and slow connections are closed
// after their time-outs, HEAD is answered as GET without the body, and "Connection: close" is honoured.
#include "server/RequestHead.h"

#include <QTcpServer>

struct FrontLimits
{
    HeadLimits head;
    int idleMs = 30'000; // between requests
    int requestMs = 10'000; // for a request's head, and again for its body
    int lingerMs = 2'000; // reading and dropping what a refused client still sends
    qint64 readBufferBytes = 64 * 1024; // per connection, read ahead of the parser; more than a whole head
};

class HttpFront : public QTcpServer
{
public:
    explicit HttpFront(const FrontLimits &limits, QObject *parent = nullptr)
        : QTcpServer(parent)
        , m_limits(limits)
    { }

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    FrontLimits m_limits;
};

namespace HttpFrontDetail {
// The complete error reply the front sends for a refused request (JSON body with a Chinese "error" text).
QByteArray refusal(int status);
} // namespace HttpFrontDetail
