// The service's HTTP front: a request head (request line, header fields, framing) under the default limits and
// under tight ones, what an accepted head is passed on as, its body decoded the way the routes read JSON bodies;
// and the same bytes as a reply written in pieces, framed for the wire.
#include "fuzz/FuzzSupport.h"
#include "server/Http.h"
#include "server/ReplyFramer.h"
#include "server/RequestHead.h"

#include <QJsonDocument>
#include <QJsonParseError>

namespace {

void readBody(const QByteArray &body)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return;
    const QJsonObject object = doc.object();
    for (const QString &key : {QStringLiteral("email"), QStringLiteral("password"), QStringLiteral("name"),
                               QStringLiteral("payType"), QStringLiteral("gateway"), QStringLiteral("slug")})
        if (const auto text = Http::stringField(object, key))
            static_cast<void>(Http::characterCount(*text));
    for (const QString &key : {QStringLiteral("planId"), QStringLiteral("id")})
        static_cast<void>(Http::integerField(object, key));
}

// The framer never passes on more than it took (plus the one field it adds), and nothing after a complete reply.
void frameReply(QByteArrayView reply)
{
    const auto connection = ReplyFramer::Connection(reply.size() % 3);
    ReplyFramer framer;
    framer.start(connection, reply.size() % 2 == 1);
    qsizetype taken = 0;
    qsizetype sent = 0;
    const qsizetype piece = 1 + reply.size() % 97;
    for (qsizetype pos = 0; pos < reply.size(); pos += piece) {
        const bool complete = framer.complete();
        const QByteArrayView chunk = reply.sliced(pos, qMin(piece, reply.size() - pos));
        const qsizetype n = framer.write(chunk, [&sent](QByteArrayView bytes) { sent += bytes.size(); });
        if (n < 0 || n > chunk.size() || (complete && n != 0))
            __builtin_trap();
        taken += n;
    }
    if (sent > taken + qsizetype(sizeof("Connection: keep-alive\r\n")))
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input = Fuzz::bytes(data, size);
    HeadLimits tight;
    tight.maxRequestLine = 64;
    tight.maxHeaderBytes = 256;
    tight.maxHeaders = 4;
    tight.maxBody = 64;
    static_cast<void>(parseRequestHead(input, tight));

    frameReply(input);

    const RequestHead head = parseRequestHead(input);
    if (head.outcome != RequestHead::Outcome::accepted)
        return 0;
    if (head.headLength < 0 || head.headLength > input.size() || head.contentLength < 0)
        __builtin_trap(); // the framing must stay inside what was received
    static_cast<void>(forgeryStatus(head, "https://pay.vexlo.test"));
    const RequestHead forwarded = parseRequestHead(forwardedHead(input, head));
    if (forwarded.outcome != RequestHead::Outcome::accepted || forwarded.target != head.target)
        __builtin_trap(); // what the server behind the front reads is a request as acceptable as the original
    readBody(input.mid(head.headLength, static_cast<qsizetype>(head.contentLength)));
    return 0;
}
