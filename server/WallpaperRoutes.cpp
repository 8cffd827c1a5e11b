#include "server/WallpaperRoutes.h"

#include "server/Context.h"
#include "server/Http.h"
#include "server/Images.h"

#include <QDir>
#include <QFile>
#include <QHttpServer>
#include <QHttpServerRequest>
#include <QRegularExpression>
#include <QUrlQuery>

namespace {

using Method = QHttpServerRequest::Method;
using Http::Status;
using Images::WallpaperSize;

QString folder(const Context &ctx)
{
    return QDir(ctx.dataDir).filePath(QStringLiteral("wallpapers"));
}

bool isSponsor(Context &ctx, const QHttpServerRequest &request)
{
    const auto member = ctx.accounts.fromRequest(request, Context::now());
    return member && member->sponsorActive(Context::now());
}

QHttpServerResponse list(Context &ctx, const QHttpServerRequest &request)
{
    QString collection = request.query().queryItemValue(QStringLiteral("collection"), QUrl::FullyDecoded);
    if (collection == QLatin1String("all"))
        collection.clear();
    return Http::json(QJsonObject{{QStringLiteral("sponsorActive"), isSponsor(ctx, request)},
                                  {QStringLiteral("wallpapers"), ctx.catalogue.wallpapers(collection)}});
}

QHttpServerResponse download(Context &ctx, const QHttpServerRequest &request)
{
    std::optional<QHttpServerResponse> rejection;
    const auto body = Http::jsonBody(request, &rejection);
    if (!body)
        return std::move(*rejection);
    const auto slug = Http::stringField(*body, QStringLiteral("slug"));
    const auto size = Http::stringField(*body, QStringLiteral("size"));
    if (!slug || !size || (*size != QLatin1String("full") && *size != QLatin1String("preview")))
        return Http::error(Status::BadRequest, QStringLiteral("请求参数无效：需要 slug 与 size（full 或 preview）"));
    const auto wallpaper = ctx.catalogue.wallpaper(*slug);
    if (!wallpaper)
        return Http::notFound(QStringLiteral("壁纸不存在"));
    const bool full = *size == QLatin1String("full");
    if (full && !isSponsor(ctx, request))
        return Http::error(Status::PaymentRequired, QStringLiteral("5K 原图仅向赞助会员开放"));
    const QString file =
        Images::wallpaperFileName(wallpaper->slug, full ? WallpaperSize::full : WallpaperSize::preview, false);
    return Http::json(QJsonObject{{QStringLiteral("ok"), true},
                                  {QStringLiteral("path"), QStringLiteral("/files/wallpapers/") + file},
                                  {QStringLiteral("resolution"), full ? QStringLiteral("5K") : QStringLiteral("4K")}});
}

QHttpServerResponse file(Context &ctx, const QString &name, const QHttpServerRequest &request)
{
    static const QRegularExpression pattern(QStringLiteral("^([a-z0-9-]+)-(4k|5k)(-thumb)?\\.jpg$"));
    const QRegularExpressionMatch match = pattern.match(name);
    if (!match.hasMatch())
        return Http::notFound(QStringLiteral("文件不存在"));
    const auto wallpaper = ctx.catalogue.wallpaper(match.captured(1));
    if (!wallpaper)
        return Http::notFound(QStringLiteral("文件不存在"));
    const WallpaperSize size = match.captured(2) == QLatin1String("5k") ? WallpaperSize::full : WallpaperSize::preview;
    const bool thumb = match.hasCaptured(3);
    // The full-size picture itself is what sponsorship buys; its thumbnail is free to look at.
    const bool gated = size == WallpaperSize::full && !thumb;
    if (gated && !isSponsor(ctx, request))
        return Http::error(Status::PaymentRequired, QStringLiteral("5K 原图仅向赞助会员开放"));
    const QString path = Images::ensureWallpaper(folder(ctx), *wallpaper, size, thumb);
    QFile f(path);
    if (path.isEmpty() || !f.open(QIODevice::ReadOnly))
        return Http::error(Status::InternalServerError, QStringLiteral("壁纸生成失败"));
    QHttpServerResponse response(QByteArrayLiteral("image/jpeg"), f.readAll());
    response.addHeader(QByteArrayLiteral("Cache-Control"),
                       gated ? QByteArrayLiteral("private, no-store") : QByteArrayLiteral("public, max-age=86400"));
    return response;
}

} // namespace

void registerWallpaperRoutes(QHttpServer &server, Context &ctx)
{
    Context *c = &ctx;
    Http::route(server, ctx.routes, QStringLiteral("/api/store/wallpapers"), Method::Get,
                [c](const QHttpServerRequest &request) { return list(*c, request); });
    Http::route(server, ctx.routes, QStringLiteral("/api/store/wallpapers"), Method::Post,
                [c](const QHttpServerRequest &request) { return download(*c, request); });
    Http::route(server, ctx.routes, QStringLiteral("/files/wallpapers/<arg>"), Method::Get,
                [c](const QString &name, const QHttpServerRequest &request) { return file(*c, name, request); });
}
