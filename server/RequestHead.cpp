#include "server/RequestHead.h"

#include <QByteArrayList>

#include <array>
#include <string_view>

namespace {

constexpr int kMaxLeadingBlankLines = 4;
constexpr qsizetype kMaxLengthDigits = 18; // fits a qint64 with room to spare

bool isTokenChar(char c)
{
    static constexpr std::string_view extra = "!#$%&'*+-.^_`|~";
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
        extra.find(c) != std::string_view::npos;
}

bool isToken(QByteArrayView text)
{
    if (text.isEmpty())
        return false;
    for (const char c : text)
        if (!isTokenChar(c))
            return false;
    return true;
}

bool isFieldValue(QByteArrayView text)
{
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if ((u < 0x20 && c != '\t') || u == 0x7f)
            return false;
    }
    return true;
}

QByteArrayView trimmed(QByteArrayView text)
{
    while (!text.isEmpty() && (text.front() == ' ' || text.front() == '\t'))
        text = text.sliced(1);
    while (!text.isEmpty() && (text.back() == ' ' || text.back() == '\t'))
        text.chop(1);
    return text;
}

bool equalsIgnoringCase(QByteArrayView a, QByteArrayView b)
{
    return a.size() == b.size() && QByteArrayView(a).compare(b, Qt::CaseInsensitive) == 0;
}

bool methodServed(QByteArrayView method)
{
    static constexpr std::array<std::string_view, 7> served{"GET", "HEAD", "POST", "PUT", "DELETE", "PATCH", "OPTIONS"};
    for (const std::string_view m : served)
        if (method == QByteArrayView(m.data(), qsizetype(m.size())))
            return true;
    return false;
}

// "/path?query" for an absolute target such as "http://host:port/path?query"; null when target is not one.
QByteArray originFormOf(QByteArrayView target)
{
    const qsizetype schemeEnd = target.indexOf("://");
    if (schemeEnd < 0 ||
        !(equalsIgnoringCase(target.first(schemeEnd), "http") || equalsIgnoringCase(target.first(schemeEnd), "https")))
        return {};
    const QByteArrayView rest = target.sliced(schemeEnd + 3);
    qsizetype authorityEnd = 0;
    while (authorityEnd < rest.size() && rest[authorityEnd] != '/' && rest[authorityEnd] != '?')
        ++authorityEnd;
    if (authorityEnd == 0)
        return {};
    const QByteArrayView path = rest.sliced(authorityEnd);
    return path.startsWith('/') ? path.toByteArray() : "/" + path.toByteArray();
}

RequestHead refused(int status)
{
    RequestHead head;
    head.outcome = RequestHead::Outcome::refused;
    head.status = status;
    return head;
}

// The request line without its CRLF: method, target and version, or the status that refuses it (0 when it is fine).
int readRequestLine(QByteArrayView line, RequestHead *head)
{
    const qsizetype firstSpace = line.indexOf(' ');
    const qsizetype secondSpace = firstSpace < 0 ? -1 : line.indexOf(' ', firstSpace + 1);
    if (secondSpace < 0)
        return 400;
    const QByteArrayView method = line.first(firstSpace);
    const QByteArrayView target = line.sliced(firstSpace + 1, secondSpace - firstSpace - 1);
    const QByteArrayView version = line.sliced(secondSpace + 1);
    if (!isToken(method) || target.isEmpty())
        return 400;
    for (const char c : target) {
        const auto u = static_cast<unsigned char>(c);
        if (u <= 0x20 || u >= 0x7f)
            return 400;
    }
    QByteArray originTarget;
    if (target.front() == '/')
        originTarget = target.toByteArray();
    else if (target == "*" && method == "OPTIONS")
        originTarget = "*";
    else if (originTarget = originFormOf(target); originTarget.isNull())
        return 400;
    if (version.size() != 8 || !version.startsWith("HTTP/") || version[6] != '.' || version[5] < '0' ||
        version[5] > '9' || version[7] < '0' || version[7] > '9')
        return 400;
    if (version != "HTTP/1.1" && version != "HTTP/1.0")
        return 505;
    if (!methodServed(method))
        return 501;
    head->method = method.toByteArray();
    head->target = originTarget;
    head->http10 = version == "HTTP/1.0";
    return 0;
}

struct Fields
{
    int hosts = 0;
    bool hasLength = false;
    bool chunked = false; // any Transfer-Encoding
    bool close = false;
    bool keepAliveToken = false;
};

// One header field line without its CRLF; returns the refusing status or 0.
int readField(QByteArrayView line, Fields *fields, RequestHead *head)
{
    if (line.front() == ' ' || line.front() == '\t')
        return 400; // line folding
    const qsizetype colon = line.indexOf(':');
    if (colon <= 0 || !isToken(line.first(colon)))
        return 400;
    const QByteArrayView name = line.first(colon);
    const QByteArrayView value = trimmed(line.sliced(colon + 1));
    if (!isFieldValue(value))
        return 400;

    if (equalsIgnoringCase(name, "content-length")) {
        if (fields->hasLength || value.isEmpty() || value.size() > kMaxLengthDigits)
            return 400;
        qint64 length = 0;
        for (const char c : value) {
            if (c < '0' || c > '9')
                return 400;
            length = length * 10 + (c - '0');
        }
        fields->hasLength = true;
        head->contentLength = length;
    } else if (equalsIgnoringCase(name, "transfer-encoding")) {
        fields->chunked = true;
    } else if (equalsIgnoringCase(name, "host")) {
        ++fields->hosts;
    } else if (equalsIgnoringCase(name, "connection")) {
        for (const QByteArrayView option : QByteArray::fromRawData(value.data(), value.size()).split(',')) {
            if (equalsIgnoringCase(trimmed(option), "close"))
                fields->close = true;
            else if (equalsIgnoringCase(trimmed(option), "keep-alive"))
                fields->keepAliveToken = true;
        }
    } else if (equalsIgnoringCase(name, "origin")) {
        if (head->origin)
            return 400;
        head->origin = value.toByteArray();
    } else if (equalsIgnoringCase(name, "content-type")) {
        const qsizetype semicolon = value.indexOf(';');
        head->mediaType = trimmed(semicolon < 0 ? value : value.first(semicolon)).toByteArray().toLower();
    } else if (equalsIgnoringCase(name, "expect")) {
        if (!equalsIgnoringCase(value, "100-continue"))
            return 417;
        head->expectContinue = true;
    }
    return 0;
}

} // namespace

RequestHead parseRequestHead(QByteArrayView data, const HeadLimits &limits)
{
    RequestHead head;
    qsizetype pos = 0;
    // A client may end its previous body with a stray CRLF; a few are skipped, as HTTP/1.1 asks.
    for (int blank = 0; data.sliced(pos).startsWith("\r\n"); ++blank) {
        if (blank == kMaxLeadingBlankLines)
            return refused(400);
        pos += 2;
    }

    const qsizetype lineEnd = data.indexOf('\n', pos);
    if (lineEnd < 0)
        return data.size() - pos > limits.maxRequestLine + 1 ? refused(414) : head;
    if (lineEnd == pos || data[lineEnd - 1] != '\r')
        return refused(400);
    const QByteArrayView requestLine = data.sliced(pos, lineEnd - 1 - pos);
    if (requestLine.size() > limits.maxRequestLine)
        return refused(414);
    if (const int status = readRequestLine(requestLine, &head))
        return refused(status);

    Fields fields;
    const qsizetype headersStart = lineEnd + 1;
    head.fieldsStart = headersStart;
    pos = headersStart;
    int count = 0;
    for (;;) {
        const qsizetype end = data.indexOf('\n', pos);
        const qsizetype sectionBytes = (end < 0 ? data.size() : end + 1) - headersStart;
        if (sectionBytes > limits.maxHeaderBytes)
            return refused(431);
        if (end < 0)
            return head; // incomplete, still within the limits
        if (end == pos || data[end - 1] != '\r')
            return refused(400);
        const QByteArrayView line = data.sliced(pos, end - 1 - pos);
        pos = end + 1;
        if (line.isEmpty())
            break;
        if (line.contains('\r'))
            return refused(400);
        if (++count > limits.maxHeaders)
            return refused(431);
        if (const int status = readField(line, &fields, &head))
            return refused(status);
    }

    if (fields.hosts > 1 || (!head.http10 && fields.hosts == 0))
        return refused(400);
    if (fields.chunked)
        return refused(fields.hasLength ? 400 : 411); // bodies are framed by Content-Length only
    if (head.contentLength > limits.maxBody)
        return refused(413);
    head.keepAlive = !fields.close && (!head.http10 || fields.keepAliveToken);
    head.headLength = pos;
    head.outcome = RequestHead::Outcome::accepted;
    return head;
}

QByteArray forwardedHead(QByteArrayView data, const RequestHead &head)
{
    QByteArray out = head.method == "HEAD" ? QByteArray("GET") : head.method;
    out += ' ' + head.target + (head.http10 ? " HTTP/1.0\r\n" : " HTTP/1.1\r\n");
    const QByteArrayView fields = data.sliced(head.fieldsStart, head.headLength - head.fieldsStart);
    for (qsizetype pos = 0; pos < fields.size();) {
        const qsizetype next = fields.indexOf('\n', pos) + 1;
        const QByteArrayView line = fields.sliced(pos, next - pos);
        if (!equalsIgnoringCase(line.first(qMin<qsizetype>(8, line.size())), "upgrade:"))
            out += line;
        pos = next;
    }
    return out;
}

int forgeryStatus(const RequestHead &head, QByteArrayView publicOrigin)
{
    if (head.method == "GET" || head.method == "HEAD" || head.method == "OPTIONS")
        return 0;
    if (head.origin && !equalsIgnoringCase(*head.origin, publicOrigin))
        return 403;
    if ((head.contentLength > 0 || !head.mediaType.isEmpty()) && head.mediaType != "application/json")
        return 415;
    return 0;
}
