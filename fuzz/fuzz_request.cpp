// The service's request parsing: the head (request line, header fields, framing) under the default limits and
// under tight ones, then an accepted request's body decoded the way the routes read JSON bodies.
#include "fuzz/FuzzSupport.h"
#include "server/Http.h"
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

    const RequestHead head = parseRequestHead(input);
    if (head.outcome != RequestHead::Outcome::accepted)
        return 0;
    if (head.headLength < 0 || head.headLength > input.size() || head.contentLength < 0)
        __builtin_trap(); // the framing must stay inside what was received
    readBody(input.mid(head.headLength, static_cast<qsizetype>(head.contentLength)));
    return 0;
}
