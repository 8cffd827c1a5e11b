#include "server/AccountRoutes.h"

#include "server/Context.h"
#include "server/Http.h"

#include <QHttpServer>
#include <QHttpServerRequest>

namespace {

using Method = QHttpServerRequest::Method;
using Http::Status;

constexpr qsizetype kMaxCredentialChars = 256;

QHttpServerResponse login(Context &ctx, const QHttpServerRequest &request)
{
    std::optional<QHttpServerResponse> rejection;
    const auto body = Http::jsonBody(request, &rejection);
    if (!body)
        return std::move(*rejection);
    const auto email = Http::stringField(*body, QStringLiteral("email"));
    const auto password = Http::stringField(*body, QStringLiteral("password"));
    if (!email || !password)
        return Http::error(Status::BadRequest, QStringLiteral("邮箱和密码必须以文本提交"));
    const QString key = email->trimmed().toLower();
    if (key.isEmpty() || password->isEmpty())
        return Http::error(Status::BadRequest, QStringLiteral("请输入邮箱和密码"));
    if (key.size() > kMaxCredentialChars || password->size() > kMaxCredentialChars)
        return Http::error(Status::BadRequest, QStringLiteral("邮箱或密码过长"));

    const qint64 now = Context::now();
    // Every check costs a quarter of a second of Argon2id, so one client cannot go through many e-mails either.
    const QString client = QStringLiteral("address:") + request.remoteAddress().toString();
    if (ctx.throttle.blocked(key, now) || ctx.clientThrottle.blocked(client, now))
        return Http::error(Status::TooManyRequests, QStringLiteral("登录尝试过于频繁，请一分钟后再试"));

    QString storedHash;
    const auto member = ctx.accounts.byEmail(key, &storedHash);
    const bool verified = Auth::verifyPassword(member ? storedHash : Auth::decoyHash(), *password);
    if (!member || !verified) {
        ctx.throttle.recordFailure(key, now);
        ctx.clientThrottle.recordFailure(client, now);
        return Http::error(Status::Forbidden, QStringLiteral("邮箱或密码错误"));
    }
    ctx.throttle.clear(key);

    if (const auto previous = Auth::requestToken(request))
        ctx.accounts.endSession(*previous);
    const QByteArray token = ctx.accounts.createSession(member->id, now);
    QHttpServerResponse response =
        Http::json(QJsonObject{{QStringLiteral("ok"), true}, {QStringLiteral("role"), member->effectiveRole(now)}});
    response.addHeader(QByteArrayLiteral("Set-Cookie"), Auth::sessionCookie(token));
    return response;
}

QHttpServerResponse logout(Context &ctx, const QHttpServerRequest &request)
{
    if (const auto token = Auth::requestToken(request))
        ctx.accounts.endSession(*token);
    QHttpServerResponse response = Http::json(QJsonObject{{QStringLiteral("ok"), true}});
    response.addHeader(QByteArrayLiteral("Set-Cookie"), Auth::expiredCookie());
    return response;
}

} // namespace

void registerAccountRoutes(QHttpServer &server, Context &ctx)
{
    Context *c = &ctx;
    server.route(QStringLiteral("/api/auth/login"), Method::Post,
                 [c](const QHttpServerRequest &request) { return login(*c, request); });
    server.route(QStringLiteral("/api/auth/logout"), Method::Post,
                 [c](const QHttpServerRequest &request) { return logout(*c, request); });
}
