#pragma once
// The catalogue as the client's records see it: rows turned into the JSON shapes of apps, categories,
// wallpapers and plans. The catalogue does not change while the service runs, so the assembled pieces are cached.
#include <QByteArray>
#include <QHash>
#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <QVariantList>
#include <optional>

class Database;

struct AppEntry
{
    int id = 0;
    bool isFree = false;
    QString name;
    QString version;
    QJsonObject json; // the StoreApp record
};

struct PlanEntry
{
    int id = 0;
    QString slug;
    QString name;
    int days = 0;
    double price = 0;
};

struct WallpaperEntry
{
    QString slug;
    QString collection;
    QString c1, c2, c3;
    QJsonObject json;
};

class Catalogue
{
public:
    explicit Catalogue(Database &db)
        : m_db(db)
    { }

    // Home payload without "member" and with live stats.
    QJsonObject home();
    // The same serialised, reused for a few seconds so the site counters stay nearly live.
    QByteArray homeBody(qint64 nowMs);
    // Serialised detail payload without "unlocked"/"needsSponsor", and whether the app is free.
    struct DetailBody
    {
        QByteArray json;
        bool isFree = false;
    };
    std::optional<DetailBody> detailBody(const QString &slug);
    // Accounts or sponsorships changed: the counters must be recounted.
    void invalidateStats() { m_homeBody.clear(); }
    std::optional<AppEntry> app(const QString &slug);
    // Detail payload without "unlocked"/"needsSponsor" (they depend on who asks).
    std::optional<QJsonObject> detail(const QString &slug);
    // Apps whose name, tagline, tags, developer, slug or category holds the text, most downloaded first.
    QJsonArray search(const QString &text, int limit);
    // Apps of one category (or all), most downloaded first: the total and the page at offset.
    int appCount(std::optional<int> categoryId);
    QJsonArray appPage(std::optional<int> categoryId, int perPage, qint64 offset);
    std::optional<int> categoryId(const QString &slug);
    QJsonArray links(int appId);

    QJsonArray wallpapers(const QString &collection); // empty collection: all
    std::optional<WallpaperEntry> wallpaper(const QString &slug);
    QJsonArray plans();
    std::optional<PlanEntry> plan(qint64 id);

    static QString collectionLabel(const QString &key);

private:
    QJsonArray apps(const QString &whereClause, const QVariantList &params, const QString &tail = {});
    int count(const QString &table, const QString &whereClause = {}, const QVariantList &params = {});
    QJsonObject site();
    QJsonArray categories();
    QJsonObject stats();

    Database &m_db;
    std::optional<QJsonObject> m_homeBase;
    QHash<QString, QJsonObject> m_details;
    QHash<QString, DetailBody> m_detailBodies;
    QByteArray m_homeBody;
    qint64 m_homeBodyAt = 0;
};
