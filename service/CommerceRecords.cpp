#include "service/CommerceRecords.h"
#include "service/JsonReader.h"

#include <QJsonDocument>
#include <QTimeZone>
#include <cmath>

using namespace Qt::StringLiterals;

QString NetdiskLink::providerName() const
{
    static const QHash<QString, QString> names{
        {u"baidu"_s, u"百度网盘"_s},   {u"quark"_s, u"夸克网盘"_s},  {u"aliyun"_s, u"阿里云盘"_s},
        {u"lanzou"_s, u"蓝奏云"_s},    {u"123pan"_s, u"123 云盘"_s}, {u"xunlei"_s, u"迅雷云盘"_s},
        {u"qiniu"_s, u"七牛云 CDN"_s}, {u"direct"_s, u"直链下载"_s},
    };
    return names.value(provider, provider);
}

std::optional<NetdiskLink> NetdiskLink::fromJson(const JsonNode &json, QString *error)
{
    JsonReader r(json, "NetdiskLink", error);
    NetdiskLink l;
    l.provider = r.string("provider");
    l.label = r.string("label");
    l.url = r.string("url");
    l.code = r.string("code");
    l.size = r.string("size");
    l.note = r.string("note");
    return r.ok() ? std::optional(l) : std::nullopt;
}

std::optional<NetdiskPayload> NetdiskPayload::fromJson(const JsonNode &json, QString *error)
{
    JsonReader r(json, "NetdiskPayload", error);
    NetdiskPayload p;
    p.ok = r.optBoolean("ok");
    p.needsSponsor = r.optBoolean("needsSponsor");
    p.version = r.optString("version");
    p.name = r.optString("name");
    p.links = r.list<NetdiskLink>("links");
    return r.ok() ? std::optional(p) : std::nullopt;
}

std::optional<LoginResult> LoginResult::fromJson(const JsonNode &json, QString *error)
{
    JsonReader r(json, "LoginResult", error);
    LoginResult l;
    l.ok = r.optBoolean("ok");
    l.role = r.optString("role");
    l.error = r.optString("error");
    return r.ok() ? std::optional(l) : std::nullopt;
}

std::optional<WallpaperPayload> WallpaperPayload::fromJson(const JsonNode &json, QString *error)
{
    JsonReader r(json, "WallpaperPayload", error);
    WallpaperPayload p;
    p.sponsorActive = r.boolean("sponsorActive");
    p.wallpapers = r.list<StoreWallpaper>("wallpapers");
    return r.ok() ? std::optional(p) : std::nullopt;
}

std::optional<WallpaperDownload> WallpaperDownload::fromJson(const JsonNode &json, QString *error)
{
    JsonReader r(json, "WallpaperDownload", error);
    WallpaperDownload d;
    d.ok = r.optBoolean("ok");
    d.path = r.optString("path");
    d.resolution = r.optString("resolution");
    d.error = r.optString("error");
    return r.ok() ? std::optional(d) : std::nullopt;
}

QString payTypeKey(PayType type)
{
    return type == PayType::alipay ? u"alipay"_s : u"wxpay"_s;
}

std::optional<PayType> payTypeFromKey(QStringView key)
{
    for (const PayType type : payTypes) {
        if (key == payTypeKey(type))
            return type;
    }
    return std::nullopt;
}

std::optional<CheckoutPayload> CheckoutPayload::fromJson(const JsonNode &json, QString *error)
{
    JsonReader r(json, "CheckoutPayload", error);
    CheckoutPayload c;
    c.orderNo = r.string("orderNo");
    c.amount = r.number("amount");
    c.planName = r.string("planName");
    c.days = r.integer("days");
    c.payType = r.string("payType");
    c.gateway = r.string("gateway");
    c.live = r.boolean("live");
    c.qr = r.string("qr");
    c.redirect = r.string("redirect");
    c.sponsorActive = r.boolean("sponsorActive");
    c.daysLeft = r.integer("daysLeft");
    return r.ok() ? std::optional(c) : std::nullopt;
}

std::optional<OrderSummary> OrderSummary::fromJson(const JsonNode &json, QString *error)
{
    JsonReader r(json, "OrderSummary", error);
    OrderSummary o;
    o.orderNo = r.string("orderNo");
    o.planName = r.string("planName");
    o.amount = r.number("amount");
    o.status = r.string("status");
    o.gateway = r.string("gateway");
    o.payType = r.string("payType");
    o.createdAt = r.string("createdAt");
    o.paidAt = r.optString("paidAt");
    return r.ok() ? std::optional(o) : std::nullopt;
}

std::optional<OrderState> OrderState::fromJson(const JsonNode &json, QString *error)
{
    JsonReader r(json, "OrderState", error);
    OrderState o;
    o.orderNo = r.string("orderNo");
    o.status = r.string("status");
    o.amount = r.number("amount");
    o.planName = r.string("planName");
    o.paidAt = r.optString("paidAt");
    return r.ok() ? std::optional(o) : std::nullopt;
}

std::optional<OrderStatusPayload> OrderStatusPayload::fromJson(const JsonNode &json, QString *error)
{
    JsonReader r(json, "OrderStatusPayload", error);
    OrderStatusPayload p;
    p.member = r.optRecord<StoreMember>("member");
    p.order = r.optRecord<OrderState>("order");
    p.orders = r.list<OrderSummary>("orders");
    return r.ok() ? std::optional(p) : std::nullopt;
}

QDateTime InstalledApp::referenceDate()
{
    return QDateTime(QDate(2001, 1, 1), QTime(0, 0), QTimeZone::utc());
}

std::optional<InstalledApp> InstalledApp::fromJson(const JsonNode &json, QString *error)
{
    JsonReader r(json, "InstalledApp", error);
    InstalledApp a;
    a.slug = r.string("slug");
    a.name = r.string("name");
    a.version = r.string("version");
    a.size = r.string("size");
    const double seconds = r.number("installedAt");
    a.location = r.optString("location");
    if (!r.ok())
        return std::nullopt;
    a.installedAt = referenceDate().addMSecs(std::llround(seconds * 1000.0));
    return a;
}

QJsonObject InstalledApp::toJson() const
{
    QJsonObject o{{u"slug"_s, slug},
                  {u"name"_s, name},
                  {u"version"_s, version},
                  {u"size"_s, size},
                  {u"installedAt"_s, referenceDate().msecsTo(installedAt) / 1000.0}};
    if (location)
        o.insert(u"location"_s, *location);
    return o;
}

std::optional<QMap<QString, InstalledApp>> InstalledApp::decodeStored(const QByteArray &data)
{
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(data, &parseError);
    if (parseError.error != QJsonParseError::NoError || !doc.isObject())
        return std::nullopt;
    QMap<QString, InstalledApp> records;
    const QJsonObject object = doc.object();
    for (auto it = object.begin(); it != object.end(); ++it) {
        auto record = fromJson(it.value(), nullptr);
        if (!record)
            return std::nullopt;
        records.insert(it.key(), std::move(*record));
    }
    return records;
}

QByteArray InstalledApp::encodeStored(const QMap<QString, InstalledApp> &records)
{
    QJsonObject object;
    for (auto it = records.begin(); it != records.end(); ++it)
        object.insert(it.key(), it.value().toJson());
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}
