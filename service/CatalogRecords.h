#pragma once
// The catalogue records of the store service: plain values decoded strictly from its JSON replies.
// C++ code uses the members; QML reads the properties of the same names.
#include "service/JsonNode.h"
#include "service/QmlValue.h"

#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QVariant>
#include <QtQml/qqmlregistration.h>
#include <optional>

struct StoreSite
{
    Q_GADGET
    QML_VALUE_TYPE(storeSite)
    Q_PROPERTY(QString name MEMBER name CONSTANT)
    Q_PROPERTY(QString tagline MEMBER tagline CONSTANT)
    Q_PROPERTY(QString announcement MEMBER announcement CONSTANT)
public:
    QString name;
    QString tagline;
    QString announcement;

    static std::optional<StoreSite> fromJson(const JsonNode &json, QString *error);
    friend bool operator==(const StoreSite &, const StoreSite &) = default;
};

struct StoreStats
{
    Q_GADGET
    QML_VALUE_TYPE(storeStats)
    Q_PROPERTY(int apps MEMBER apps CONSTANT)
    Q_PROPERTY(int downloads MEMBER downloads CONSTANT)
    Q_PROPERTY(int wallpapers MEMBER wallpapers CONSTANT)
    Q_PROPERTY(int members MEMBER members CONSTANT)
    Q_PROPERTY(int sponsors MEMBER sponsors CONSTANT)
public:
    int apps = 0;
    int downloads = 0;
    int wallpapers = 0;
    int members = 0;
    int sponsors = 0;

    static std::optional<StoreStats> fromJson(const JsonNode &json, QString *error);
    friend bool operator==(const StoreStats &, const StoreStats &) = default;
};

struct StoreMember
{
    Q_GADGET
    QML_VALUE_TYPE(storeMember)
    Q_PROPERTY(QString nickname MEMBER nickname CONSTANT)
    Q_PROPERTY(QString email MEMBER email CONSTANT)
    Q_PROPERTY(QString role MEMBER role CONSTANT)
    Q_PROPERTY(bool sponsorActive MEMBER sponsorActive CONSTANT)
    Q_PROPERTY(int daysLeft MEMBER daysLeft CONSTANT)
    Q_PROPERTY(bool forever MEMBER forever CONSTANT)
    Q_PROPERTY(int level MEMBER level CONSTANT)
    Q_PROPERTY(int points MEMBER points CONSTANT)
    Q_PROPERTY(QVariant expiresAt READ qmlExpiresAt CONSTANT)
public:
    QString nickname;
    QString email;
    QString role;
    bool sponsorActive = false;
    int daysLeft = 0;
    bool forever = false;
    int level = 0;
    int points = 0;
    std::optional<QString> expiresAt;

    static std::optional<StoreMember> fromJson(const JsonNode &json, QString *error);
    [[nodiscard]] QVariant qmlExpiresAt() const { return QmlValue::of(expiresAt); }
    friend bool operator==(const StoreMember &, const StoreMember &) = default;
};

struct StoreCategory
{
    Q_GADGET
    QML_VALUE_TYPE(storeCategory)
    Q_PROPERTY(QString id READ id CONSTANT)
    Q_PROPERTY(QString slug MEMBER slug CONSTANT)
    Q_PROPERTY(QString name MEMBER name CONSTANT)
    Q_PROPERTY(QString glyph MEMBER glyph CONSTANT)
    Q_PROPERTY(QString accent MEMBER accent CONSTANT)
    Q_PROPERTY(int count MEMBER count CONSTANT)
public:
    QString slug;
    QString name;
    QString glyph;
    QString accent;
    int count = 0;

    [[nodiscard]] QString id() const { return slug; }
    static std::optional<StoreCategory> fromJson(const JsonNode &json, QString *error);
    friend bool operator==(const StoreCategory &, const StoreCategory &) = default;
};

struct StoreApp
{
    Q_GADGET
    QML_VALUE_TYPE(storeApp)
    Q_PROPERTY(QString id READ id CONSTANT)
    Q_PROPERTY(QString archLabel READ archLabel CONSTANT)
    Q_PROPERTY(QString slug MEMBER slug CONSTANT)
    Q_PROPERTY(QString name MEMBER name CONSTANT)
    Q_PROPERTY(QString tagline MEMBER tagline CONSTANT)
    Q_PROPERTY(QString glyph MEMBER glyph CONSTANT)
    Q_PROPERTY(QString accent MEMBER accent CONSTANT)
    Q_PROPERTY(QString accent2 MEMBER accent2 CONSTANT)
    Q_PROPERTY(QString version MEMBER version CONSTANT)
    Q_PROPERTY(QString size MEMBER size CONSTANT)
    Q_PROPERTY(QString minOs MEMBER minOs CONSTANT)
    Q_PROPERTY(QString arch MEMBER arch CONSTANT)
    Q_PROPERTY(bool isFree MEMBER isFree CONSTANT)
    Q_PROPERTY(QString license MEMBER license CONSTANT)
    Q_PROPERTY(double price MEMBER price CONSTANT)
    Q_PROPERTY(double rating MEMBER rating CONSTANT)
    Q_PROPERTY(int ratingCount MEMBER ratingCount CONSTANT)
    Q_PROPERTY(int downloads MEMBER downloads CONSTANT)
    Q_PROPERTY(QVariant categoryName READ qmlCategoryName CONSTANT)
    Q_PROPERTY(QVariant categorySlug READ qmlCategorySlug CONSTANT)
    Q_PROPERTY(bool staffPick MEMBER staffPick CONSTANT)
    Q_PROPERTY(bool editorsChoice MEMBER editorsChoice CONSTANT)
    Q_PROPERTY(bool featured MEMBER featured CONSTANT)
    Q_PROPERTY(QStringList tags MEMBER tags CONSTANT)
    Q_PROPERTY(QStringList features MEMBER features CONSTANT)
    Q_PROPERTY(QString description MEMBER description CONSTANT)
    Q_PROPERTY(QString homepage MEMBER homepage CONSTANT)
    Q_PROPERTY(QString developer MEMBER developer CONSTANT)
    Q_PROPERTY(QString updatedAt MEMBER updatedAt CONSTANT)
public:
    QString slug;
    QString name;
    QString tagline;
    QString glyph;
    QString accent;
    QString accent2;
    QString version;
    QString size;
    QString minOs;
    QString arch;
    bool isFree = false;
    QString license;
    double price = 0;
    double rating = 0;
    int ratingCount = 0;
    int downloads = 0;
    std::optional<QString> categoryName;
    std::optional<QString> categorySlug;
    bool staffPick = false;
    bool editorsChoice = false;
    bool featured = false;
    QStringList tags;
    QStringList features;
    QString description;
    QString homepage;
    QString developer;
    QString updatedAt;

    [[nodiscard]] QString id() const { return slug; }
    // "Apple Silicon" for exactly "arm64", "Intel" for exactly "x64", "通用" otherwise.
    [[nodiscard]] QString archLabel() const;
    [[nodiscard]] QVariant qmlCategoryName() const { return QmlValue::of(categoryName); }
    [[nodiscard]] QVariant qmlCategorySlug() const { return QmlValue::of(categorySlug); }
    static std::optional<StoreApp> fromJson(const JsonNode &json, QString *error);
    // Equal only when every field is equal.
    friend bool operator==(const StoreApp &, const StoreApp &) = default;
};
size_t qHash(const StoreApp &app, size_t seed = 0);

struct StoreWallpaper
{
    Q_GADGET
    QML_VALUE_TYPE(storeWallpaper)
    Q_PROPERTY(QString id READ id CONSTANT)
    Q_PROPERTY(QString slug MEMBER slug CONSTANT)
    Q_PROPERTY(QString title MEMBER title CONSTANT)
    Q_PROPERTY(QString collection MEMBER collection CONSTANT)
    Q_PROPERTY(QString resolution MEMBER resolution CONSTANT)
    Q_PROPERTY(QString file MEMBER file CONSTANT)
    Q_PROPERTY(QString c1 MEMBER c1 CONSTANT)
    Q_PROPERTY(QString c2 MEMBER c2 CONSTANT)
    Q_PROPERTY(QString c3 MEMBER c3 CONSTANT)
    Q_PROPERTY(bool featured MEMBER featured CONSTANT)
    Q_PROPERTY(QVariant absoluteURL READ qmlAbsoluteURL)
    Q_PROPERTY(QVariant thumbURL READ qmlThumbURL)
public:
    QString slug;
    QString title;
    QString collection;
    QString resolution;
    QString file;
    QString c1;
    QString c2;
    QString c3;
    bool featured = false;

    [[nodiscard]] QString id() const { return slug; }
    // The site address as stored right now followed by file; absent when that does not parse.
    [[nodiscard]] std::optional<QUrl> absoluteURL() const;
    // The same with every ".jpg" in file replaced by "-thumb.jpg".
    [[nodiscard]] std::optional<QUrl> thumbURL() const;
    [[nodiscard]] QVariant qmlAbsoluteURL() const { return QmlValue::of(absoluteURL()); }
    [[nodiscard]] QVariant qmlThumbURL() const { return QmlValue::of(thumbURL()); }
    static std::optional<StoreWallpaper> fromJson(const JsonNode &json, QString *error);
    friend bool operator==(const StoreWallpaper &, const StoreWallpaper &) = default;
};

struct StorePlan
{
    Q_GADGET
    QML_VALUE_TYPE(storePlan)
    Q_PROPERTY(int id MEMBER id CONSTANT)
    Q_PROPERTY(QString slug MEMBER slug CONSTANT)
    Q_PROPERTY(QString name MEMBER name CONSTANT)
    Q_PROPERTY(int days MEMBER days CONSTANT)
    Q_PROPERTY(double price MEMBER price CONSTANT)
    Q_PROPERTY(double originalPrice MEMBER originalPrice CONSTANT)
    Q_PROPERTY(QString badge MEMBER badge CONSTANT)
    Q_PROPERTY(QString description MEMBER description CONSTANT)
    Q_PROPERTY(QStringList features MEMBER features CONSTANT)
public:
    int id = 0;
    QString slug;
    QString name;
    int days = 0;
    double price = 0;
    double originalPrice = 0;
    QString badge;
    QString description;
    QStringList features;

    static std::optional<StorePlan> fromJson(const JsonNode &json, QString *error);
    friend bool operator==(const StorePlan &, const StorePlan &) = default;
};

struct StoreReview
{
    Q_GADGET
    QML_VALUE_TYPE(storeReview)
    Q_PROPERTY(int id MEMBER id CONSTANT)
    Q_PROPERTY(QString nickname MEMBER nickname CONSTANT)
    Q_PROPERTY(int rating MEMBER rating CONSTANT)
    Q_PROPERTY(QString content MEMBER content CONSTANT)
    Q_PROPERTY(QString createdAt MEMBER createdAt CONSTANT)
public:
    int id = 0;
    QString nickname;
    int rating = 0;
    QString content;
    QString createdAt;

    static std::optional<StoreReview> fromJson(const JsonNode &json, QString *error);
    friend bool operator==(const StoreReview &, const StoreReview &) = default;
};

struct AppVersion
{
    Q_GADGET
    QML_VALUE_TYPE(appVersion)
    Q_PROPERTY(QString id READ id CONSTANT)
    Q_PROPERTY(QString version MEMBER version CONSTANT)
    Q_PROPERTY(QString size MEMBER size CONSTANT)
    Q_PROPERTY(QVariant notes READ qmlNotes CONSTANT)
    Q_PROPERTY(QString releasedAt MEMBER releasedAt CONSTANT)
public:
    QString version;
    QString size;
    std::optional<QString> notes;
    QString releasedAt;

    [[nodiscard]] QString id() const { return version; }
    [[nodiscard]] QVariant qmlNotes() const { return QmlValue::of(notes); }
    static std::optional<AppVersion> fromJson(const JsonNode &json, QString *error);
    friend bool operator==(const AppVersion &, const AppVersion &) = default;
};

struct StoreDetail
{
    Q_GADGET
    QML_VALUE_TYPE(storeDetail)
    Q_PROPERTY(StoreApp app MEMBER app CONSTANT)
    Q_PROPERTY(bool unlocked MEMBER unlocked CONSTANT)
    Q_PROPERTY(bool needsSponsor MEMBER needsSponsor CONSTANT)
    Q_PROPERTY(QVariantList reviews READ qmlReviews CONSTANT)
    Q_PROPERTY(QVariantList related READ qmlRelated CONSTANT)
    Q_PROPERTY(QVariant versions READ qmlVersions CONSTANT)
public:
    StoreApp app;
    bool unlocked = false;
    bool needsSponsor = false;
    QList<StoreReview> reviews;
    QList<StoreApp> related;
    std::optional<QList<AppVersion>> versions;

    [[nodiscard]] QVariantList qmlReviews() const { return QmlValue::list(reviews); }
    [[nodiscard]] QVariantList qmlRelated() const { return QmlValue::list(related); }
    // Undefined when the reply had no version list, else a list of appVersion.
    [[nodiscard]] QVariant qmlVersions() const { return versions ? QVariant(QmlValue::list(*versions)) : QVariant(); }
    static std::optional<StoreDetail> fromJson(const JsonNode &json, QString *error);
    friend bool operator==(const StoreDetail &, const StoreDetail &) = default;
};

struct StoreHome
{
    Q_GADGET
    QML_VALUE_TYPE(storeHome)
    Q_PROPERTY(StoreSite site MEMBER site CONSTANT)
    Q_PROPERTY(QVariant billingEnabled READ qmlBillingEnabled CONSTANT)
    Q_PROPERTY(StoreStats stats MEMBER stats CONSTANT)
    Q_PROPERTY(QVariant member READ qmlMember CONSTANT)
    Q_PROPERTY(QVariantList categories READ qmlCategories CONSTANT)
    Q_PROPERTY(QVariantList featured READ qmlFeatured CONSTANT)
    Q_PROPERTY(QVariantList top READ qmlTop CONSTANT)
    Q_PROPERTY(QVariantList latest READ qmlLatest CONSTANT)
    Q_PROPERTY(QVariantList wallpapers READ qmlWallpapers CONSTANT)
    Q_PROPERTY(QVariantList plans READ qmlPlans CONSTANT)
public:
    StoreSite site;
    std::optional<bool> billingEnabled;
    StoreStats stats;
    std::optional<StoreMember> member;
    QList<StoreCategory> categories;
    QList<StoreApp> featured;
    QList<StoreApp> top;
    QList<StoreApp> latest;
    QList<StoreWallpaper> wallpapers;
    QList<StorePlan> plans;

    [[nodiscard]] QVariant qmlBillingEnabled() const { return QmlValue::of(billingEnabled); }
    [[nodiscard]] QVariant qmlMember() const { return QmlValue::of(member); }
    [[nodiscard]] QVariantList qmlCategories() const { return QmlValue::list(categories); }
    [[nodiscard]] QVariantList qmlFeatured() const { return QmlValue::list(featured); }
    [[nodiscard]] QVariantList qmlTop() const { return QmlValue::list(top); }
    [[nodiscard]] QVariantList qmlLatest() const { return QmlValue::list(latest); }
    [[nodiscard]] QVariantList qmlWallpapers() const { return QmlValue::list(wallpapers); }
    [[nodiscard]] QVariantList qmlPlans() const { return QmlValue::list(plans); }
    static std::optional<StoreHome> fromJson(const JsonNode &json, QString *error);
    friend bool operator==(const StoreHome &, const StoreHome &) = default;
};

struct AppListPage
{
    Q_GADGET
    QML_VALUE_TYPE(appListPage)
    Q_PROPERTY(int total MEMBER total CONSTANT)
    Q_PROPERTY(int page MEMBER page CONSTANT)
    Q_PROPERTY(int pages MEMBER pages CONSTANT)
    Q_PROPERTY(QVariantList apps READ qmlApps CONSTANT)
public:
    int total = 0;
    int page = 0;
    int pages = 0;
    QList<StoreApp> apps;

    [[nodiscard]] QVariantList qmlApps() const { return QmlValue::list(apps); }
    static std::optional<AppListPage> fromJson(const JsonNode &json, QString *error);
    friend bool operator==(const AppListPage &, const AppListPage &) = default;
};

struct SearchOther
{
    Q_GADGET
    QML_VALUE_TYPE(searchOther)
    Q_PROPERTY(QString id READ id CONSTANT)
    Q_PROPERTY(QString type MEMBER type CONSTANT)
    Q_PROPERTY(QString slug MEMBER slug CONSTANT)
    Q_PROPERTY(QString title MEMBER title CONSTANT)
    Q_PROPERTY(QVariant sub READ qmlSub CONSTANT)
public:
    QString type;
    QString slug;
    QString title;
    std::optional<QString> sub;

    // type and slug joined with nothing between them.
    [[nodiscard]] QString id() const { return type + slug; }
    [[nodiscard]] QVariant qmlSub() const { return QmlValue::of(sub); }
    static std::optional<SearchOther> fromJson(const JsonNode &json, QString *error);
    friend bool operator==(const SearchOther &, const SearchOther &) = default;
};

struct SearchResult
{
    Q_GADGET
    QML_VALUE_TYPE(searchResult)
    Q_PROPERTY(QVariantList apps READ qmlApps CONSTANT)
    Q_PROPERTY(QVariantList other READ qmlOther CONSTANT)
public:
    QList<StoreApp> apps;
    QList<SearchOther> other;

    [[nodiscard]] QVariantList qmlApps() const { return QmlValue::list(apps); }
    [[nodiscard]] QVariantList qmlOther() const { return QmlValue::list(other); }
    static std::optional<SearchResult> fromJson(const JsonNode &json, QString *error);
    friend bool operator==(const SearchResult &, const SearchResult &) = default;
};
