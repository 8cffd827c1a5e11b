#include "server/CommerceRoutes.h"

#include "server/Context.h"
#include "server/Http.h"
#include "server/Images.h"

#include <QHttpServer>
#include <QHttpServerRequest>
#include <QUrlQuery>

namespace {

using Method = QHttpServerRequest::Method;
using Http::Status;

const QStringList kPayTypes{QStringLiteral("wxpay"), QStringLiteral("alipay")};
const QStringList kGateways{QStringLiteral("hubijiao"), QStringLiteral("xunhu")};

// Unpaid orders a member may open within a day. Trying plans, pay types and gateways takes a handful, and a paid
// or day-old order no longer counts; past the cap a script (or a stuck client) only fills the table.
constexpr int kMaxOpenOrders = 20;
constexpr qint64 kOpenOrderWindowMs = 24LL * 60 * 60 * 1000;

QString isoTime(qint64 msecs)
{
    return QDateTime::fromMSecsSinceEpoch(msecs, Qt::UTC).toString(Qt::ISODate);
}

// The address a phone opens after scanning: this service's sandbox payment page, at its configured public address
// (never the request's Host header, which the client chooses).
QString paymentPage(const Context &ctx, const QString &orderNo)
{
    return ctx.publicUrl + QStringLiteral("/pay/") + orderNo;
}

QJsonArray orderHistory(Context &ctx, int userId)
{
    QJsonArray out;
    for (const Order &o : ctx.orders.history(userId)) {
        QJsonObject summary{{QStringLiteral("orderNo"), o.orderNo},
                            {QStringLiteral("planName"), o.planName},
                            {QStringLiteral("amount"), o.amount},
                            {QStringLiteral("status"), o.status},
                            {QStringLiteral("gateway"), o.gateway},
                            {QStringLiteral("payType"), o.payType},
                            {QStringLiteral("createdAt"), isoTime(o.createdAtMs)}};
        if (o.paidAtMs > 0)
            summary.insert(QStringLiteral("paidAt"), isoTime(o.paidAtMs));
        out.append(summary);
    }
    return out;
}

QHttpServerResponse checkout(Context &ctx, const QHttpServerRequest &request)
{
    const qint64 now = Context::now();
    const auto member = ctx.accounts.fromRequest(request, now);
    if (!member)
        return Http::signInRequired();
    std::optional<QHttpServerResponse> rejection;
    const auto body = Http::jsonBody(request, &rejection);
    if (!body)
        return std::move(*rejection);
    const auto planId = Http::integerField(*body, QStringLiteral("planId"));
    const auto payType = Http::stringField(*body, QStringLiteral("payType"));
    const auto gateway = Http::stringField(*body, QStringLiteral("gateway"));
    if (!planId || !payType || !gateway)
        return Http::error(Status::BadRequest,
                           QStringLiteral("下单参数不完整：需要整数 planId 与文本 payType、gateway"));
    if (!kPayTypes.contains(*payType))
        return Http::error(Status::BadRequest, QStringLiteral("不支持的支付方式"));
    if (!kGateways.contains(*gateway))
        return Http::error(Status::BadRequest, QStringLiteral("不支持的支付通道"));
    const auto plan = ctx.catalogue.plan(*planId);
    if (!plan)
        return Http::error(Status::BadRequest, QStringLiteral("未知的赞助方案"));
    const auto open = ctx.orders.pendingSince(member->id, QDateTime::currentMSecsSinceEpoch() - kOpenOrderWindowMs);
    if (!open)
        return Http::error(Status::InternalServerError, QStringLiteral("下单失败，请稍后再试"));
    if (*open >= kMaxOpenOrders)
        return Http::error(Status::TooManyRequests, QStringLiteral("未支付的订单过多，请先完成已有订单或明天再试"));

    const auto opened = ctx.orders.open(member->id, *plan, *payType, *gateway, now);
    if (!opened)
        return Http::error(Status::InternalServerError, QStringLiteral("下单失败，请稍后再试"));
    const QString &orderNo = *opened;

    return Http::json(QJsonObject{{QStringLiteral("orderNo"), orderNo},
                                  {QStringLiteral("amount"), plan->price},
                                  {QStringLiteral("planName"), plan->name},
                                  {QStringLiteral("days"), plan->days},
                                  {QStringLiteral("payType"), *payType},
                                  {QStringLiteral("gateway"), *gateway},
                                  {QStringLiteral("live"), false},
                                  {QStringLiteral("qr"), QStringLiteral("/api/store/qr/") + orderNo},
                                  {QStringLiteral("redirect"), paymentPage(ctx, orderNo)},
                                  {QStringLiteral("sponsorActive"), member->sponsorActive(now)},
                                  {QStringLiteral("daysLeft"), member->daysLeft(now)}});
}

QHttpServerResponse orders(Context &ctx, const QHttpServerRequest &request)
{
    const qint64 now = Context::now();
    const auto member = ctx.accounts.fromRequest(request, now);
    if (!member)
        return Http::signInRequired();
    QJsonObject body{{QStringLiteral("member"), member->toJson(now)},
                     {QStringLiteral("orders"), orderHistory(ctx, member->id)}};
    const QUrlQuery query = request.query();
    if (query.hasQueryItem(QStringLiteral("order"))) {
        const auto order =
            ctx.orders.find(member->id, query.queryItemValue(QStringLiteral("order"), QUrl::FullyDecoded));
        if (!order)
            return Http::notFound(QStringLiteral("订单不存在"));
        QJsonObject state{{QStringLiteral("orderNo"), order->orderNo},
                          {QStringLiteral("status"), order->status},
                          {QStringLiteral("amount"), order->amount},
                          {QStringLiteral("planName"), order->planName}};
        if (order->paidAtMs > 0)
            state.insert(QStringLiteral("paidAt"), isoTime(order->paidAtMs));
        body.insert(QStringLiteral("order"), state);
    }
    return Http::json(body);
}

// Sandbox payment: marks the order paid and extends the sponsorship once; paying again changes nothing. The
// conditional update and the extension share one transaction, so of two instances paying the order at the same
// moment only the one whose update changed the row extends.
QHttpServerResponse mockPay(Context &ctx, const QHttpServerRequest &request)
{
    const qint64 now = Context::now();
    const auto member = ctx.accounts.fromRequest(request, now);
    if (!member)
        return Http::signInRequired();
    std::optional<QHttpServerResponse> rejection;
    const auto body = Http::jsonBody(request, &rejection);
    if (!body)
        return std::move(*rejection);
    const auto orderNo = Http::stringField(*body, QStringLiteral("orderNo"));
    if (!orderNo)
        return Http::error(Status::BadRequest, QStringLiteral("缺少订单号"));
    const auto order = ctx.orders.find(member->id, *orderNo);
    if (!order)
        return Http::notFound(QStringLiteral("订单不存在"));

    if (order->status != QLatin1String("paid")) {
        Transaction tx(ctx.db);
        const auto changed = ctx.orders.markPaid(*orderNo, QDateTime::currentMSecsSinceEpoch());
        if (!changed || (*changed && !ctx.accounts.extendSponsorship(member->id, order->days, now)) || !tx.commit())
            return Http::error(Status::InternalServerError, QStringLiteral("支付处理失败，请稍后再试"));
        ctx.catalogue.invalidateStats();
    }
    const auto updated = ctx.accounts.byId(member->id);
    return Http::json(QJsonObject{{QStringLiteral("ok"), true},
                                  {QStringLiteral("orderNo"), *orderNo},
                                  {QStringLiteral("status"), QStringLiteral("paid")},
                                  {QStringLiteral("sponsorActive"), updated && updated->sponsorActive(now)},
                                  {QStringLiteral("daysLeft"), updated ? updated->daysLeft(now) : 0},
                                  {QStringLiteral("forever"), updated && updated->forever}});
}

QHttpServerResponse qrImage(Context &ctx, const QString &orderNo)
{
    if (!ctx.orders.byNumber(orderNo))
        return Http::notFound(QStringLiteral("订单不存在"));
    const QByteArray png = Images::qrPng(paymentPage(ctx, orderNo).toUtf8());
    if (png.isEmpty())
        return Http::error(Status::InternalServerError, QStringLiteral("二维码生成失败"));
    QHttpServerResponse response(QByteArrayLiteral("image/png"), png);
    response.addHeader(QByteArrayLiteral("Cache-Control"), QByteArrayLiteral("no-store"));
    return response;
}

} // namespace

void registerCommerceRoutes(QHttpServer &server, Context &ctx)
{
    Context *c = &ctx;
    Http::route(server, ctx.routes, QStringLiteral("/api/store/checkout"), Method::Post,
                [c](const QHttpServerRequest &request) { return checkout(*c, request); });
    Http::route(server, ctx.routes, QStringLiteral("/api/store/orders"), Method::Get,
                [c](const QHttpServerRequest &request) { return orders(*c, request); });
    Http::route(server, ctx.routes, QStringLiteral("/api/store/orders"), Method::Post,
                [c](const QHttpServerRequest &request) { return mockPay(*c, request); });
    Http::route(server, ctx.routes, QStringLiteral("/api/store/qr/<arg>"), Method::Get,
                [c](const QString &orderNo) { return qrImage(*c, orderNo); });
}
