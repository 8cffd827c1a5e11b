#pragma once
// The store service's cloud-drive, sign-in, wallpaper, checkout and order records, and the saved
// download record (InstalledApp). Decoded strictly from JSON like the catalogue records.
#include "service/CatalogRecords.h"

#include <QDateTime>
#include <QMap>

struct NetdiskLink
{
    Q_GADGET
    QML_VALUE_TYPE(netdiskLink)
    Q_PROPERTY(QString id READ id CONSTANT)
    Q_PROPERTY(bool hasCode READ hasCode CONSTANT)
    Q_PROPERTY(QString providerName READ providerName CONSTANT)
    Q_PROPERTY(QString provider MEMBER provider CONSTANT)
    Q_PROPERTY(QString label MEMBER label CONSTANT)
    Q_PROPERTY(QString url MEMBER url CONSTANT)
    Q_PROPERTY(QString code MEMBER code CONSTANT)
    Q_PROPERTY(QString size MEMBER size CONSTANT)
    Q_PROPERTY(QString note MEMBER note CONSTANT)
public:
    QString provider;
    QString label;
    QString url;
    QString code;
    QString size;
    QString note;

    // provider immediately followed by url.
    [[nodiscard]] QString id() const { return provider + url; }
    [[nodiscard]] bool hasCode() const { return !code.isEmpty(); }
    // The provider's Chinese name by exact key; an unknown key is shown as itself.
    [[nodiscard]] QString providerName() const;
    static std::optional<NetdiskLink> fromJson(const JsonNode &json, QString *error);
    friend bool operator==(const NetdiskLink &, const NetdiskLink &) = default;
};

struct NetdiskPayload
{
    Q_GADGET
    QML_VALUE_TYPE(netdiskPayload)
    Q_PROPERTY(QVariant ok READ qmlOk CONSTANT)
    Q_PROPERTY(QVariant needsSponsor READ qmlNeedsSponsor CONSTANT)
    Q_PROPERTY(QVariant version READ qmlVersion CONSTANT)
    Q_PROPERTY(QVariant name READ qmlName CONSTANT)
    Q_PROPERTY(QVariantList links READ qmlLinks CONSTANT)
public:
    std::optional<bool> ok;
    std::optional<bool> needsSponsor;
    std::optional<QString> version;
    std::optional<QString> name;
    QList<NetdiskLink> links;

    [[nodiscard]] QVariant qmlOk() const { return QmlValue::of(ok); }
    [[nodiscard]] QVariant qmlNeedsSponsor() const { return QmlValue::of(needsSponsor); }
    [[nodiscard]] QVariant qmlVersion() const { return QmlValue::of(version); }
    [[nodiscard]] QVariant qmlName() const { return QmlValue::of(name); }
    [[nodiscard]] QVariantList qmlLinks() const { return QmlValue::list(links); }
    static std::optional<NetdiskPayload> fromJson(const JsonNode &json, QString *error);
    friend bool operator==(const NetdiskPayload &, const NetdiskPayload &) = default;
};

struct LoginResult
{
    Q_GADGET
    QML_VALUE_TYPE(loginResult)
    Q_PROPERTY(QVariant ok READ qmlOk CONSTANT)
    Q_PROPERTY(QVariant role READ qmlRole CONSTANT)
    Q_PROPERTY(QVariant error READ qmlError CONSTANT)
public:
    std::optional<bool> ok;
    std::optional<QString> role;
    std::optional<QString> error;

    [[nodiscard]] QVariant qmlOk() const { return QmlValue::of(ok); }
    [[nodiscard]] QVariant qmlRole() const { return QmlValue::of(role); }
    [[nodiscard]] QVariant qmlError() const { return QmlValue::of(error); }
    static std::optional<LoginResult> fromJson(const JsonNode &json, QString *error);
    friend bool operator==(const LoginResult &, const LoginResult &) = default;
};

struct WallpaperPayload
{
    Q_GADGET
    QML_VALUE_TYPE(wallpaperPayload)
    Q_PROPERTY(bool sponsorActive MEMBER sponsorActive CONSTANT)
    Q_PROPERTY(QVariantList wallpapers READ qmlWallpapers CONSTANT)
public:
    bool sponsorActive = false;
    QList<StoreWallpaper> wallpapers;

    [[nodiscard]] QVariantList qmlWallpapers() const { return QmlValue::list(wallpapers); }
    static std::optional<WallpaperPayload> fromJson(const JsonNode &json, QString *error);
    friend bool operator==(const WallpaperPayload &, const WallpaperPayload &) = default;
};

struct WallpaperDownload
{
    Q_GADGET
    QML_VALUE_TYPE(wallpaperDownload)
    Q_PROPERTY(QVariant ok READ qmlOk CONSTANT)
    Q_PROPERTY(QVariant path READ qmlPath CONSTANT)
    Q_PROPERTY(QVariant resolution READ qmlResolution CONSTANT)
    Q_PROPERTY(QVariant error READ qmlError CONSTANT)
public:
    std::optional<bool> ok;
    std::optional<QString> path;
    std::optional<QString> resolution;
    std::optional<QString> error;

    [[nodiscard]] QVariant qmlOk() const { return QmlValue::of(ok); }
    [[nodiscard]] QVariant qmlPath() const { return QmlValue::of(path); }
    [[nodiscard]] QVariant qmlResolution() const { return QmlValue::of(resolution); }
    [[nodiscard]] QVariant qmlError() const { return QmlValue::of(error); }
    static std::optional<WallpaperDownload> fromJson(const JsonNode &json, QString *error);
    friend bool operator==(const WallpaperDownload &, const WallpaperDownload &) = default;
};

// How a member pays for an order. The service and the screens name the ways by key ("wxpay", "alipay"); the code
// in between uses the enumeration.
enum class PayType { wechat, alipay };
inline constexpr PayType payTypes[] = {PayType::wechat, PayType::alipay};
[[nodiscard]] QString payTypeKey(PayType type);
// Absent for a key that names no way to pay.
[[nodiscard]] std::optional<PayType> payTypeFromKey(QStringView key);

struct CheckoutPayload
{
    Q_GADGET
    QML_VALUE_TYPE(checkoutPayload)
    Q_PROPERTY(QString id READ id CONSTANT)
    Q_PROPERTY(QString orderNo MEMBER orderNo CONSTANT)
    Q_PROPERTY(double amount MEMBER amount CONSTANT)
    Q_PROPERTY(QString planName MEMBER planName CONSTANT)
    Q_PROPERTY(int days MEMBER days CONSTANT)
    Q_PROPERTY(QString payType MEMBER payType CONSTANT)
    Q_PROPERTY(QString gateway MEMBER gateway CONSTANT)
    Q_PROPERTY(bool live MEMBER live CONSTANT)
    Q_PROPERTY(QString qr MEMBER qr CONSTANT)
    Q_PROPERTY(QString redirect MEMBER redirect CONSTANT)
    Q_PROPERTY(bool sponsorActive MEMBER sponsorActive CONSTANT)
    Q_PROPERTY(int daysLeft MEMBER daysLeft CONSTANT)
public:
    QString orderNo;
    double amount = 0;
    QString planName;
    int days = 0;
    QString payType;
    QString gateway;
    bool live = false;
    QString qr;
    QString redirect;
    bool sponsorActive = false;
    int daysLeft = 0;

    [[nodiscard]] QString id() const { return orderNo; }
    static std::optional<CheckoutPayload> fromJson(const JsonNode &json, QString *error);
    friend bool operator==(const CheckoutPayload &, const CheckoutPayload &) = default;
};

struct OrderSummary
{
    Q_GADGET
    QML_VALUE_TYPE(orderSummary)
    Q_PROPERTY(QString id READ id CONSTANT)
    Q_PROPERTY(QString orderNo MEMBER orderNo CONSTANT)
    Q_PROPERTY(QString planName MEMBER planName CONSTANT)
    Q_PROPERTY(double amount MEMBER amount CONSTANT)
    Q_PROPERTY(QString status MEMBER status CONSTANT)
    Q_PROPERTY(QString gateway MEMBER gateway CONSTANT)
    Q_PROPERTY(QString payType MEMBER payType CONSTANT)
    Q_PROPERTY(QString createdAt MEMBER createdAt CONSTANT)
    Q_PROPERTY(QVariant paidAt READ qmlPaidAt CONSTANT)
public:
    QString orderNo;
    QString planName;
    double amount = 0;
    QString status;
    QString gateway;
    QString payType;
    QString createdAt;
    std::optional<QString> paidAt;

    [[nodiscard]] QString id() const { return orderNo; }
    [[nodiscard]] QVariant qmlPaidAt() const { return QmlValue::of(paidAt); }
    static std::optional<OrderSummary> fromJson(const JsonNode &json, QString *error);
    friend bool operator==(const OrderSummary &, const OrderSummary &) = default;
};

struct OrderState
{
    Q_GADGET
    QML_VALUE_TYPE(orderState)
    Q_PROPERTY(QString orderNo MEMBER orderNo CONSTANT)
    Q_PROPERTY(QString status MEMBER status CONSTANT)
    Q_PROPERTY(double amount MEMBER amount CONSTANT)
    Q_PROPERTY(QString planName MEMBER planName CONSTANT)
    Q_PROPERTY(QVariant paidAt READ qmlPaidAt CONSTANT)
public:
    QString orderNo;
    QString status;
    double amount = 0;
    QString planName;
    std::optional<QString> paidAt;

    [[nodiscard]] QVariant qmlPaidAt() const { return QmlValue::of(paidAt); }
    static std::optional<OrderState> fromJson(const JsonNode &json, QString *error);
    friend bool operator==(const OrderState &, const OrderState &) = default;
};

struct OrderStatusPayload
{
    Q_GADGET
    QML_VALUE_TYPE(orderStatusPayload)
    Q_PROPERTY(QVariant member READ qmlMember CONSTANT)
    Q_PROPERTY(QVariant order READ qmlOrder CONSTANT)
    Q_PROPERTY(QVariantList orders READ qmlOrders CONSTANT)
public:
    std::optional<StoreMember> member;
    std::optional<OrderState> order;
    QList<OrderSummary> orders;

    [[nodiscard]] QVariant qmlMember() const { return QmlValue::of(member); }
    [[nodiscard]] QVariant qmlOrder() const { return QmlValue::of(order); }
    [[nodiscard]] QVariantList qmlOrders() const { return QmlValue::list(orders); }
    static std::optional<OrderStatusPayload> fromJson(const JsonNode &json, QString *error);
    friend bool operator==(const OrderStatusPayload &, const OrderStatusPayload &) = default;
};

// One saved download record. Stored under the user default "installedApps" as UTF-8 JSON: an object from
// app slug to record, "installedAt" being seconds since 2001-01-01 00:00:00 UTC.
struct InstalledApp
{
    Q_GADGET
    QML_VALUE_TYPE(installedApp)
    Q_PROPERTY(QString slug MEMBER slug CONSTANT)
    Q_PROPERTY(QString name MEMBER name CONSTANT)
    Q_PROPERTY(QString version MEMBER version CONSTANT)
    Q_PROPERTY(QString size MEMBER size CONSTANT)
    Q_PROPERTY(QDateTime installedAt MEMBER installedAt CONSTANT)
    Q_PROPERTY(QVariant location READ qmlLocation CONSTANT)
public:
    QString slug;
    QString name;
    QString version;
    QString size;
    QDateTime installedAt;
    std::optional<QString> location;

    [[nodiscard]] QVariant qmlLocation() const { return QmlValue::of(location); }
    static std::optional<InstalledApp> fromJson(const JsonNode &json, QString *error);
    [[nodiscard]] QJsonObject toJson() const;
    friend bool operator==(const InstalledApp &, const InstalledApp &) = default;

    // The stored value: absent when it is not JSON of that shape or any one record is bad.
    static std::optional<QMap<QString, InstalledApp>> decodeStored(const QByteArray &data);
    static QByteArray encodeStored(const QMap<QString, InstalledApp> &records);
    // The platform's reference date, 2001-01-01 00:00:00 UTC.
    static QDateTime referenceDate();
};
