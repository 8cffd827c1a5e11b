#include "server/AccountRoutes.h"

#include "server/Context.h"
#include "server/Http.h"

#include <QHttpServer>
#include <QHttpServerRequest>
#include <QPointer>
#include <QTcpSocket>
#include <memory>

namespace {

using Method = QHttpServerRequest::Method;
using Http::Status;

constexpr qsizetype kMaxCredentialChars = 256;

// Answers at once when the request is refused before any password check; otherwise after the check, which runs
// on the password pool.
void login(Context &ctx, const QHttpServerRequest &request, QHttpServerResponder &&responder)
{
    const auto reply = [&responder](QHttpServerResponse response) { response.write(std::move(responder)); };
    std::optional<QHttpServerResponse> rejection;
    const auto body = Http::jsonBody(request, &rejection);
    if (!body)
        return reply(std::move(*rejection));
    const auto email = Http::stringField(*body, QStringLiteral("email"));
    const auto password = Http::stringField(*body, QStringLiteral("password"));
    if (!email || !password)
        return reply(Http::error(Status::BadRequest, QStringLiteral("邮箱和密码必须以文本提交")));
    const QString key = email->trimmed().toLower();
    if (key.isEmpty() || password->isEmpty())
        return reply(Http::error(Status::BadRequest, QStringLiteral("请输入邮箱和密码")));
    if (Http::characterCount(key) > kMaxCredentialChars || Http::characterCount(*password) > kMaxCredentialChars)
        return reply(Http::error(Status::BadRequest, QStringLiteral("邮箱或密码过长")));

    const qint64 now = Context::now();
    const QString client = Http::clientAddress(request, ctx.trustedProxies);
    const QString pair = key + QLatin1Char(' ') + client;
    // Counted as failures while the check runs, so parallel attempts cannot slip past the limits.
    const auto pairAttempt = ctx.throttle.attempt(pair, now);
    const auto clientAttempt = pairAttempt ? ctx.clientThrottle.attempt(client, now) : std::nullopt;
    if (!clientAttempt) {
        if (pairAttempt)
            ctx.throttle.forgive(*pairAttempt);
        return reply(Http::error(Status::TooManyRequests, QStringLiteral("登录尝试过于频繁，请一分钟后再试")));
    }

    QString storedHash;
    const auto member = ctx.accounts.byEmail(key, &storedHash);
    auto pending = std::make_shared<QHttpServerResponder>(std::move(responder));
    const QPointer<QTcpSocket> socket = pending->socket();
    const auto previous = Auth::requestToken(request);
    Context *c = &ctx;
    const bool queued = ctx.passwords.verify(
        member ? storedHash : Auth::decoyHash(), *password,
        [c, pending, socket, member, pair, clientAttempt, previous](bool verified) {
            if (!member || !verified) {
                if (socket)
                    Http::error(Status::Forbidden, QStringLiteral("邮箱或密码错误")).write(std::move(*pending));
                return;
            }
            c->throttle.clear(pair);
            c->clientThrottle.forgive(*clientAttempt);
            if (!socket)
                return;
            const qint64 now = Context::now();
            if (previous)
                c->accounts.endSession(*previous);
            const QByteArray token = c->accounts.createSession(member->id, now);
            QHttpServerResponse response = Http::json(
                QJsonObject{{QStringLiteral("ok"), true}, {QStringLiteral("role"), member->effectiveRole(now)}});
            response.addHeader(QByteArrayLiteral("Set-Cookie"), Auth::sessionCookie(token, c->secureCookies));
            response.write(std::move(*pending));
        });
    if (!queued) {
        ctx.throttle.forgive(*pairAttempt);
        ctx.clientThrottle.forgive(*clientAttempt);
        Http::error(Status::TooManyRequests, QStringLiteral("服务器繁忙，请稍后再试")).write(std::move(*pending));
    }
}

QHttpServerResponse logout(Context &ctx, const QHttpServerRequest &request)
{
    if (const auto token = Auth::requestToken(request))
        ctx.accounts.endSession(*token);
    QHttpServerResponse response = Http::json(QJsonObject{{QStringLiteral("ok"), true}});
    response.addHeader(QByteArrayLiteral("Set-Cookie"), Auth::expiredCookie(ctx.secureCookies));
    return response;
}

} // namespace

void registerAccountRoutes(QHttpServer &server, Context &ctx)
{
    Context *c = &ctx;
    Http::route(server, ctx.routes, QStringLiteral("/api/auth/login"), Method::Post,
                [c](const QHttpServerRequest &request, QHttpServerResponder &&responder) {
                    login(*c, request, std::move(responder));
                });
    Http::route(server, ctx.routes, QStringLiteral("/api/auth/logout"), Method::Post,
                [c](const QHttpServerRequest &request) { return logout(*c, request); });
}
