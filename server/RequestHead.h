#pragma once
// Reading the head of one HTTP/1.1 request (request line and header fields) from the bytes a connection has
// received so far, with the service's size limits. A pure function of its input, so it can be tested and fuzzed
// on its own: it decides whether the head is still incomplete, acceptable, or refused with which status.
#include <QByteArray>
#include <QByteArrayView>
#include <optional>

struct HeadLimits
{
    qsizetype maxRequestLine = 8 * 1024; // without its CRLF
    qsizetype maxHeaderBytes = 32 * 1024; // every header line with its CRLF, and the blank line
    int maxHeaders = 100;
    qint64 maxBody = 16 * 1024;
};

struct RequestHead
{
    enum class Outcome { incomplete, accepted, refused };

    Outcome outcome = Outcome::incomplete;
    int status = 0; // the refusal's status: 400, 411, 413, 414, 417, 431, 501 or 505
    qsizetype headLength = 0; // bytes up to and including the blank line
    QByteArray method;
    QByteArray target; // in origin form ("/path?query"), also when the request named it absolutely; or "*"
    qint64 contentLength = 0;
    bool http10 = false;
    bool keepAlive = true; // false for "Connection: close" and for HTTP/1.0 without "keep-alive"
    bool expectContinue = false;
    std::optional<QByteArray> origin; // the Origin field's value, when there is one
    QByteArray mediaType; // the Content-Type without parameters, lower case
    qsizetype fieldsStart = 0; // where the header lines begin
};

// Reads the head at the start of data. Limits are checked on incomplete input too, so an oversized request line
// or header section is refused as soon as it is known to be too long.
RequestHead parseRequestHead(QByteArrayView data, const HeadLimits &limits = {});

// The accepted head as the HTTP server behind the front reads it: HEAD asked as GET (the front drops the reply's
// body), the target in origin form, and without Upgrade fields, since no other protocol is switched to.
QByteArray forwardedHead(QByteArrayView data, const RequestHead &head);

// 403 for a state-changing request sent from a page of another origin than publicOrigin ("scheme://host[:port]"),
// 415 for one whose body is not declared JSON, 0 when neither applies. Browsers send Origin with every cross-origin
// POST, and a form or a simple cross-origin request cannot declare JSON, so both refuse forged requests.
int forgeryStatus(const RequestHead &head, QByteArrayView publicOrigin);
