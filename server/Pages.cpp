#include "server/Pages.h"

#include "server/Context.h"
#include "server/Http.h"

#include <QHttpServer>
#include <QHttpServerRequest>
#include <QJsonArray>

namespace {

using Method = QHttpServerRequest::Method;
using Http::escapeHtml;
using Http::Status;

QString layout(const QString &title, const QString &body)
{
    return QStringLiteral(
               "<!doctype html><html lang=\"zh-CN\"><head><meta charset=\"utf-8\">"
               "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\"><title>%1 · Vexlo</title>"
               "<style>body{font-family:-apple-system,'PingFang SC','Noto Sans CJK SC',sans-serif;max-width:860px;"
               "margin:40px auto;padding:0 20px;color:#1d1d1f;line-height:1.6}a{color:#0a84ff;text-decoration:none}"
               "header{border-bottom:1px solid #e5e5ea;margin-bottom:24px;padding-bottom:12px}"
               ".card{border:1px solid #e5e5ea;border-radius:12px;padding:12px 16px;margin:10px 0}"
               ".muted{color:#6e6e73}.badge{display:inline-block;border-radius:6px;padding:0 6px;background:#f2f2f7;"
               "font-size:13px;margin-right:6px}</style></head><body><header><a href=\"/\"><strong>Vexlo 精选</strong>"
               "</a></header>%2</body></html>")
        .arg(escapeHtml(title), body);
}

QHttpServerResponse notFoundPage(const QString &what)
{
    return Http::html(layout(QStringLiteral("未找到"),
                             QStringLiteral("<h1>未找到</h1><p class=\"muted\">%1</p><p><a href=\"/\">返回首页</a></p>")
                                 .arg(escapeHtml(what))),
                      Status::NotFound);
}

QString appCard(const QJsonObject &app)
{
    return QStringLiteral("<div class=\"card\"><a href=\"/app/%1\"><strong>%2</strong></a> "
                          "<span class=\"muted\">%3</span></div>")
        .arg(escapeHtml(app.value(QStringLiteral("slug")).toString()),
             escapeHtml(app.value(QStringLiteral("name")).toString()),
             escapeHtml(app.value(QStringLiteral("tagline")).toString()));
}

QHttpServerResponse index(Context &ctx)
{
    const QJsonObject home = ctx.catalogue.home();
    const QJsonObject site = home.value(QStringLiteral("site")).toObject();
    QString body = QStringLiteral("<h1>%1</h1><p class=\"muted\">%2</p><p>%3</p><h2>编辑推荐</h2>")
                       .arg(escapeHtml(site.value(QStringLiteral("name")).toString()),
                            escapeHtml(site.value(QStringLiteral("tagline")).toString()),
                            escapeHtml(site.value(QStringLiteral("announcement")).toString()));
    for (const QJsonValue app : home.value(QStringLiteral("featured")).toArray())
        body += appCard(app.toObject());
    body += QStringLiteral("<h2>分类</h2><p>");
    for (const QJsonValue c : home.value(QStringLiteral("categories")).toArray())
        body += QStringLiteral("<span class=\"badge\">%1 · %2</span>")
                    .arg(escapeHtml(c.toObject().value(QStringLiteral("name")).toString()))
                    .arg(c.toObject().value(QStringLiteral("count")).toInt());
    body += QStringLiteral("</p><p><a href=\"/tools/mac-check\">二手 Mac 验机工具</a></p>");
    return Http::html(layout(site.value(QStringLiteral("name")).toString(), body));
}

QHttpServerResponse appPage(Context &ctx, const QString &slug)
{
    const auto app = ctx.catalogue.app(slug);
    if (!app)
        return notFoundPage(QStringLiteral("应用不存在或已下架"));
    const QJsonObject a = app->json;
    QString body = QStringLiteral("<h1>%1</h1><p class=\"muted\">%2</p><p>%3</p><p>"
                                  "<span class=\"badge\">版本 %4</span><span class=\"badge\">%5</span>"
                                  "<span class=\"badge\">%6</span><span class=\"badge\">%7</span></p><ul>")
                       .arg(escapeHtml(a.value(QStringLiteral("name")).toString()),
                            escapeHtml(a.value(QStringLiteral("tagline")).toString()),
                            escapeHtml(a.value(QStringLiteral("description")).toString()),
                            escapeHtml(a.value(QStringLiteral("version")).toString()),
                            escapeHtml(a.value(QStringLiteral("size")).toString()),
                            escapeHtml(a.value(QStringLiteral("minOs")).toString()),
                            app->isFree ? QStringLiteral("免费") : QStringLiteral("赞助会员"));
    for (const QJsonValue f : a.value(QStringLiteral("features")).toArray())
        body += QStringLiteral("<li>%1</li>").arg(escapeHtml(f.toString()));
    body += QStringLiteral("</ul><p class=\"muted\">开发者：%1</p>")
                .arg(escapeHtml(a.value(QStringLiteral("developer")).toString()));
    return Http::html(layout(a.value(QStringLiteral("name")).toString(), body));
}

QHttpServerResponse articlePage(Context &ctx, const QString &kind, const QString &slug)
{
    const auto article = ctx.articles.find(kind, slug);
    if (!article)
        return notFoundPage(kind == QLatin1String("guide") ? QStringLiteral("指南不存在")
                                                           : QStringLiteral("文章不存在"));
    const QString body = QStringLiteral("<h1>%1</h1><p class=\"muted\">%2 · %3</p><p>%4</p>")
                             .arg(escapeHtml(article->title), escapeHtml(article->summary),
                                  escapeHtml(article->publishedAt.left(10)), escapeHtml(article->body));
    return Http::html(layout(article->title, body));
}

QHttpServerResponse macCheckPage(Context &ctx)
{
    QString body = QStringLiteral(
        "<h1>二手 Mac 验机</h1><p>在 Vexlo工具箱 的「设备检测」中一键读取硬件标识、电池、存储、显示与安全设置，"
        "对照出厂配置核对容量，并生成可复制的检测报告。全部在本机完成，不上传任何数据。</p><h2>相关指南</h2>");
    for (const Article &guide : ctx.articles.guides())
        body += QStringLiteral("<div class=\"card\"><a href=\"/guides/%1\"><strong>%2</strong></a> "
                               "<span class=\"muted\">%3</span></div>")
                    .arg(escapeHtml(guide.slug), escapeHtml(guide.title), escapeHtml(guide.summary));
    return Http::html(layout(QStringLiteral("二手 Mac 验机"), body));
}

QHttpServerResponse payPage(Context &ctx, const QString &orderNo)
{
    const auto order = ctx.orders.byNumber(orderNo);
    if (!order)
        return notFoundPage(QStringLiteral("订单不存在"));
    const bool paid = order->status == QLatin1String("paid");
    const QString body =
        QStringLiteral("<h1>沙箱支付</h1><div class=\"card\"><p>订单号：%1</p><p>%2 · ¥%3</p>"
                       "<p><strong>%4</strong></p></div><p class=\"muted\">这是演示环境，不会真实扣款。"
                       "请回到应用中点击「模拟支付成功（演示）」完成支付。</p>")
            .arg(escapeHtml(orderNo), escapeHtml(order->planName), QString::number(order->amount, 'f', 2),
                 paid ? QStringLiteral("已支付") : QStringLiteral("等待支付"));
    return Http::html(layout(QStringLiteral("沙箱支付"), body));
}

} // namespace

void registerPages(QHttpServer &server, Context &ctx)
{
    Context *c = &ctx;
    Http::route(server, ctx.routes, QStringLiteral("/"), Method::Get, [c]() { return index(*c); });
    Http::route(server, ctx.routes, QStringLiteral("/app/<arg>"), Method::Get,
                [c](const QString &slug) { return appPage(*c, slug); });
    Http::route(server, ctx.routes, QStringLiteral("/blog/<arg>"), Method::Get,
                [c](const QString &slug) { return articlePage(*c, QStringLiteral("post"), slug); });
    Http::route(server, ctx.routes, QStringLiteral("/guides/<arg>"), Method::Get,
                [c](const QString &slug) { return articlePage(*c, QStringLiteral("guide"), slug); });
    Http::route(server, ctx.routes, QStringLiteral("/tools/mac-check"), Method::Get,
                [c]() { return macCheckPage(*c); });
    Http::route(server, ctx.routes, QStringLiteral("/pay/<arg>"), Method::Get,
                [c](const QString &orderNo) { return payPage(*c, orderNo); });
}
