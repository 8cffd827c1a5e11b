#include "server/CatalogRoutes.h"

#include "server/Context.h"
#include "server/Http.h"

#include <QDateTime>
#include <QHttpServer>
#include <QHttpServerRequest>
#include <QUrlQuery>
#include <algorithm>
#include <cmath>

namespace {

using Method = QHttpServerRequest::Method;
using Http::Status;

constexpr int kSearchLimit = 40;
constexpr int kMaxSearchChars = 100;
constexpr int kDefaultPerPage = 20;
constexpr int kMaxPerPage = 100;

QString queryValue(const QHttpServerRequest &request, const QString &key)
{
    return request.query().queryItemValue(key, QUrl::FullyDecoded);
}

QHttpServerResponse home(Context &ctx, const QHttpServerRequest &request)
{
    const QByteArray body = ctx.catalogue.homeBody(QDateTime::currentMSecsSinceEpoch());
    QJsonObject member;
    if (const auto m = ctx.accounts.fromRequest(request, Context::now()))
        member.insert(QStringLiteral("member"), m->toJson(Context::now()));
    return Http::json(body, member);
}

QHttpServerResponse detail(Context &ctx, const QString &slug, const QHttpServerRequest &request)
{
    const auto body = ctx.catalogue.detailBody(slug);
    if (!body)
        return Http::notFound(QStringLiteral("应用不存在或已下架"));
    const auto member = ctx.accounts.fromRequest(request, Context::now());
    const bool sponsor = member && member->sponsorActive(Context::now());
    return Http::json(body->json,
                      QJsonObject{{QStringLiteral("unlocked"), body->isFree || sponsor},
                                  {QStringLiteral("needsSponsor"), !body->isFree}});
}

QHttpServerResponse netdisk(Context &ctx, const QString &slug, const QHttpServerRequest &request)
{
    const auto app = ctx.catalogue.app(slug);
    if (!app)
        return Http::notFound(QStringLiteral("应用不存在或已下架"));
    if (!app->isFree) {
        const auto member = ctx.accounts.fromRequest(request, Context::now());
        if (!member)
            return Http::error(Status::PaymentRequired, QStringLiteral("该应用仅向赞助会员开放，请先登录"));
        if (!member->sponsorActive(Context::now()))
            return Http::error(Status::PaymentRequired, QStringLiteral("该应用仅向赞助会员开放"));
    }
    return Http::json(QJsonObject{{QStringLiteral("ok"), true},
                                  {QStringLiteral("needsSponsor"), !app->isFree},
                                  {QStringLiteral("version"), app->version},
                                  {QStringLiteral("name"), app->name},
                                  {QStringLiteral("links"), ctx.catalogue.links(app->id)}});
}

QHttpServerResponse search(Context &ctx, const QHttpServerRequest &request)
{
    const QString text = queryValue(request, QStringLiteral("q")).trimmed();
    if (Http::characterCount(text) > kMaxSearchChars)
        return Http::error(Status::BadRequest, QStringLiteral("搜索内容过长"));
    QJsonArray apps, other;
    // The text is matched literally. No entry contains control characters; SQLite would cut the pattern at a NUL.
    const bool matchable =
        std::none_of(text.begin(), text.end(), [](QChar c) { return c.category() == QChar::Other_Control; });
    if (!text.isEmpty() && matchable) {
        apps = ctx.catalogue.search(text, kSearchLimit);

        // Wallpapers match on their title, slug or collection ("渐变壁纸"); there are few, so filter here.
        const QString needle = text.toLower();
        for (const QJsonValue value : ctx.catalogue.wallpapers({})) {
            const QJsonObject w = value.toObject();
            const QString sub = QStringLiteral("%1壁纸").arg(
                Catalogue::collectionLabel(w.value(QStringLiteral("collection")).toString()));
            const QString title = w.value(QStringLiteral("title")).toString();
            const QString slug = w.value(QStringLiteral("slug")).toString();
            if (title.toLower().contains(needle) || slug.contains(needle) || sub.contains(needle))
                other.append(QJsonObject{{QStringLiteral("type"), QStringLiteral("wall")},
                                         {QStringLiteral("slug"), slug},
                                         {QStringLiteral("title"), title},
                                         {QStringLiteral("sub"), sub}});
        }
        for (const Article &post : ctx.articles.searchPosts(text))
            other.append(QJsonObject{{QStringLiteral("type"), QStringLiteral("post")},
                                     {QStringLiteral("slug"), post.slug},
                                     {QStringLiteral("title"), post.title},
                                     {QStringLiteral("sub"), post.summary}});
    }
    return Http::json(QJsonObject{{QStringLiteral("apps"), apps}, {QStringLiteral("other"), other}});
}

std::optional<int> positiveNumber(const QHttpServerRequest &request, const QString &key, int fallback)
{
    if (!request.query().hasQueryItem(key))
        return fallback;
    bool ok = false;
    const int value = queryValue(request, key).toInt(&ok);
    if (!ok || value < 1)
        return std::nullopt;
    return value;
}

QHttpServerResponse appList(Context &ctx, const QHttpServerRequest &request)
{
    const auto perPage = positiveNumber(request, QStringLiteral("perPage"), kDefaultPerPage);
    const auto page = positiveNumber(request, QStringLiteral("page"), 1);
    if (!perPage || !page || *perPage > kMaxPerPage)
        return Http::error(Status::BadRequest, QStringLiteral("分页参数无效"));

    std::optional<int> categoryId;
    const QString category = queryValue(request, QStringLiteral("category"));
    if (!category.isEmpty()) {
        categoryId = ctx.catalogue.categoryId(category);
        if (!categoryId)
            return Http::notFound(QStringLiteral("分类不存在"));
    }
    const int total = ctx.catalogue.appCount(categoryId);
    const int pages = qMax(1, (total + *perPage - 1) / *perPage);
    const qint64 offset = qint64(*page - 1) * *perPage;
    const QJsonArray apps = offset >= total ? QJsonArray() : ctx.catalogue.appPage(categoryId, *perPage, offset);
    return Http::json(QJsonObject{{QStringLiteral("total"), total},
                                  {QStringLiteral("page"), *page},
                                  {QStringLiteral("pages"), pages},
                                  {QStringLiteral("apps"), apps}});
}

} // namespace

void registerCatalogRoutes(QHttpServer &server, Context &ctx)
{
    Context *c = &ctx;
    Http::route(server, ctx.routes, QStringLiteral("/api/store/home"), Method::Get,
                [c](const QHttpServerRequest &request) { return home(*c, request); });
    Http::route(server, ctx.routes, QStringLiteral("/api/store/search"), Method::Get,
                [c](const QHttpServerRequest &request) { return search(*c, request); });
    Http::route(server, ctx.routes, QStringLiteral("/api/store/apps"), Method::Get,
                [c](const QHttpServerRequest &request) { return appList(*c, request); });
    Http::route(server, ctx.routes, QStringLiteral("/api/store/apps/<arg>/netdisk"), Method::Get,
                [c](const QString &slug, const QHttpServerRequest &request) { return netdisk(*c, slug, request); });
    Http::route(server, ctx.routes, QStringLiteral("/api/store/apps/<arg>"), Method::Get,
                [c](const QString &slug, const QHttpServerRequest &request) { return detail(*c, slug, request); });
}
