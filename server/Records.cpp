#include "server/Records.h"

#include "server/Database.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QSqlQuery>

namespace {

const QString kAppSelect = QStringLiteral(
    "SELECT a.slug, a.name, a.tagline, a.glyph, a.accent, a.accent2, a.version, a.size, a.min_os, a.arch,"
    " a.is_free, a.license, a.price, a.rating, a.rating_count, a.downloads, c.name, c.slug, a.staff_pick,"
    " a.editors_choice, a.featured, a.tags, a.features, a.description, a.homepage, a.developer, a.updated_at, a.id"
    " FROM apps a LEFT JOIN categories c ON c.id = a.category_id ");

QJsonArray jsonList(const QString &text)
{
    return QJsonDocument::fromJson(text.toUtf8()).array();
}

QJsonObject appJson(const QSqlQuery &q)
{
    QJsonObject o{
        {QStringLiteral("slug"), q.value(0).toString()},
        {QStringLiteral("name"), q.value(1).toString()},
        {QStringLiteral("tagline"), q.value(2).toString()},
        {QStringLiteral("glyph"), q.value(3).toString()},
        {QStringLiteral("accent"), q.value(4).toString()},
        {QStringLiteral("accent2"), q.value(5).toString()},
        {QStringLiteral("version"), q.value(6).toString()},
        {QStringLiteral("size"), q.value(7).toString()},
        {QStringLiteral("minOs"), q.value(8).toString()},
        {QStringLiteral("arch"), q.value(9).toString()},
        {QStringLiteral("isFree"), q.value(10).toInt() != 0},
        {QStringLiteral("license"), q.value(11).toString()},
        {QStringLiteral("price"), q.value(12).toDouble()},
        {QStringLiteral("rating"), q.value(13).toDouble()},
        {QStringLiteral("ratingCount"), q.value(14).toInt()},
        {QStringLiteral("downloads"), q.value(15).toLongLong()},
        {QStringLiteral("staffPick"), q.value(18).toInt() != 0},
        {QStringLiteral("editorsChoice"), q.value(19).toInt() != 0},
        {QStringLiteral("featured"), q.value(20).toInt() != 0},
        {QStringLiteral("tags"), jsonList(q.value(21).toString())},
        {QStringLiteral("features"), jsonList(q.value(22).toString())},
        {QStringLiteral("description"), q.value(23).toString()},
        {QStringLiteral("homepage"), q.value(24).toString()},
        {QStringLiteral("developer"), q.value(25).toString()},
        {QStringLiteral("updatedAt"), q.value(26).toString()},
    };
    if (!q.value(16).isNull()) {
        o.insert(QStringLiteral("categoryName"), q.value(16).toString());
        o.insert(QStringLiteral("categorySlug"), q.value(17).toString());
    }
    return o;
}

const QString kWallpaperSelect =
    QStringLiteral("SELECT slug, title, collection, resolution, c1, c2, c3, featured FROM wallpapers ");

WallpaperEntry wallpaperFrom(const QSqlQuery &q)
{
    WallpaperEntry w;
    w.slug = q.value(0).toString();
    w.collection = q.value(2).toString();
    w.c1 = q.value(4).toString();
    w.c2 = q.value(5).toString();
    w.c3 = q.value(6).toString();
    w.json = QJsonObject{
        {QStringLiteral("slug"), w.slug},
        {QStringLiteral("title"), q.value(1).toString()},
        {QStringLiteral("collection"), w.collection},
        {QStringLiteral("resolution"), q.value(3).toString()},
        {QStringLiteral("file"), QStringLiteral("/files/wallpapers/%1-4k.jpg").arg(w.slug)},
        {QStringLiteral("c1"), w.c1},
        {QStringLiteral("c2"), w.c2},
        {QStringLiteral("c3"), w.c3},
        {QStringLiteral("featured"), q.value(7).toInt() != 0},
    };
    return w;
}

} // namespace

QJsonArray Catalogue::apps(const QString &whereClause, const QVariantList &params, const QString &tail)
{
    QJsonArray out;
    QSqlQuery q = m_db.run(kAppSelect + whereClause + QLatin1Char(' ') + tail, params);
    while (q.next())
        out.append(appJson(q));
    return out;
}

int Catalogue::count(const QString &table, const QString &whereClause, const QVariantList &params)
{
    // table is always one of our own names, never request input.
    return m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM ") + table + QLatin1Char(' ') + whereClause, params)
        .toInt();
}

QJsonArray Catalogue::search(const QString &text, int limit)
{
    const QString pattern = Database::containsPattern(text);
    const QString &like = Database::kLikeEscaped;
    return apps(QStringLiteral("WHERE LOWER(a.name)") + like + QStringLiteral(" OR LOWER(a.tagline)") + like +
                    QStringLiteral(" OR EXISTS (SELECT 1 FROM ") + m_db.jsonArrayElements(QStringLiteral("a.tags")) +
                    QStringLiteral(" WHERE LOWER(t.value)") + like + QStringLiteral(")") +
                    QStringLiteral(" OR LOWER(a.developer)") + like + QStringLiteral(" OR LOWER(a.slug)") + like +
                    QStringLiteral(" OR LOWER(c.name)") + like,
                {pattern, pattern, pattern, pattern, pattern, pattern},
                QStringLiteral("ORDER BY a.downloads DESC, a.position LIMIT %1").arg(limit));
}

int Catalogue::appCount(std::optional<int> categoryId)
{
    if (!categoryId)
        return count(QStringLiteral("apps"));
    return count(QStringLiteral("apps"), QStringLiteral("WHERE category_id = ?"), {*categoryId});
}

QJsonArray Catalogue::appPage(std::optional<int> categoryId, int perPage, qint64 offset)
{
    const QString tail =
        QStringLiteral("ORDER BY a.downloads DESC, a.position LIMIT %1 OFFSET %2").arg(perPage).arg(offset);
    if (!categoryId)
        return apps({}, {}, tail);
    return apps(QStringLiteral("WHERE a.category_id = ?"), {*categoryId}, tail);
}

std::optional<AppEntry> Catalogue::app(const QString &slug)
{
    QSqlQuery q = m_db.run(kAppSelect + QStringLiteral("WHERE a.slug = ?"), {slug});
    if (!q.next())
        return std::nullopt;
    AppEntry entry;
    entry.id = q.value(27).toInt();
    entry.isFree = q.value(10).toInt() != 0;
    entry.name = q.value(1).toString();
    entry.version = q.value(6).toString();
    entry.json = appJson(q);
    return entry;
}

std::optional<int> Catalogue::categoryId(const QString &slug)
{
    const QVariant id = m_db.scalar(QStringLiteral("SELECT id FROM categories WHERE slug = ?"), {slug});
    if (!id.isValid())
        return std::nullopt;
    return id.toInt();
}

std::optional<QJsonObject> Catalogue::detail(const QString &slug)
{
    if (auto it = m_details.constFind(slug); it != m_details.constEnd())
        return *it;
    const auto entry = app(slug);
    if (!entry)
        return std::nullopt;

    QJsonArray reviews;
    QSqlQuery r = m_db.run(QStringLiteral("SELECT id, nickname, rating, content, created_at FROM reviews"
                                          " WHERE app_id = ? ORDER BY created_at DESC, id"),
                           {entry->id});
    while (r.next())
        reviews.append(QJsonObject{{QStringLiteral("id"), r.value(0).toInt()},
                                   {QStringLiteral("nickname"), r.value(1).toString()},
                                   {QStringLiteral("rating"), r.value(2).toInt()},
                                   {QStringLiteral("content"), r.value(3).toString()},
                                   {QStringLiteral("createdAt"), r.value(4).toString()}});

    QJsonArray versions;
    QSqlQuery v = m_db.run(QStringLiteral("SELECT version, size, notes, released_at FROM app_versions"
                                          " WHERE app_id = ? ORDER BY position"),
                           {entry->id});
    while (v.next()) {
        QJsonObject version{{QStringLiteral("version"), v.value(0).toString()},
                            {QStringLiteral("size"), v.value(1).toString()},
                            {QStringLiteral("releasedAt"), v.value(3).toString()}};
        if (!v.value(2).isNull())
            version.insert(QStringLiteral("notes"), v.value(2).toString());
        versions.append(version);
    }

    const QJsonArray related = apps(QStringLiteral("JOIN related_apps r ON r.related_id = a.id WHERE r.app_id = ?"),
                                    {entry->id}, QStringLiteral("ORDER BY r.position"));
    const QJsonObject detail{{QStringLiteral("app"), entry->json},
                             {QStringLiteral("reviews"), reviews},
                             {QStringLiteral("related"), related},
                             {QStringLiteral("versions"), versions}};
    m_details.insert(slug, detail);
    return detail;
}

QJsonArray Catalogue::links(int appId)
{
    QJsonArray out;
    QSqlQuery q = m_db.run(QStringLiteral("SELECT provider, label, url, code, size, note FROM netdisk_links"
                                          " WHERE app_id = ? ORDER BY position"),
                           {appId});
    while (q.next())
        out.append(QJsonObject{{QStringLiteral("provider"), q.value(0).toString()},
                               {QStringLiteral("label"), q.value(1).toString()},
                               {QStringLiteral("url"), q.value(2).toString()},
                               {QStringLiteral("code"), q.value(3).toString()},
                               {QStringLiteral("size"), q.value(4).toString()},
                               {QStringLiteral("note"), q.value(5).toString()}});
    return out;
}

QJsonObject Catalogue::site()
{
    QJsonObject out;
    QSqlQuery q = m_db.run(QStringLiteral("SELECT name, value FROM site_settings"));
    while (q.next())
        out.insert(q.value(0).toString(), q.value(1).toString());
    for (const QString &key : {QStringLiteral("name"), QStringLiteral("tagline"), QStringLiteral("announcement")})
        if (!out.contains(key))
            out.insert(key, QStringLiteral(""));
    return out;
}

QJsonArray Catalogue::categories()
{
    QJsonArray out;
    QSqlQuery q = m_db.run(QStringLiteral(
        "SELECT c.slug, c.name, c.glyph, c.accent, COUNT(a.id) FROM categories c"
        " LEFT JOIN apps a ON a.category_id = c.id GROUP BY c.id, c.slug, c.name, c.glyph, c.accent, c.position"
        " ORDER BY c.position"));
    while (q.next())
        out.append(QJsonObject{{QStringLiteral("slug"), q.value(0).toString()},
                               {QStringLiteral("name"), q.value(1).toString()},
                               {QStringLiteral("glyph"), q.value(2).toString()},
                               {QStringLiteral("accent"), q.value(3).toString()},
                               {QStringLiteral("count"), q.value(4).toInt()}});
    return out;
}

QJsonObject Catalogue::stats()
{
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    return QJsonObject{
        {QStringLiteral("apps"), count(QStringLiteral("apps"))},
        {QStringLiteral("downloads"),
         m_db.scalar(QStringLiteral("SELECT COALESCE(SUM(downloads), 0) FROM apps")).toLongLong()},
        {QStringLiteral("wallpapers"), count(QStringLiteral("wallpapers"))},
        {QStringLiteral("members"), count(QStringLiteral("users"))},
        {QStringLiteral("sponsors"),
         count(QStringLiteral("users"), QStringLiteral("WHERE sponsor_forever = 1 OR sponsor_until > ?"), {now})},
    };
}

QJsonObject Catalogue::home()
{
    if (!m_homeBase) {
        QJsonArray homeWallpapers;
        QSqlQuery w = m_db.run(kWallpaperSelect + QStringLiteral("WHERE featured = 1 ORDER BY position"));
        while (w.next())
            homeWallpapers.append(wallpaperFrom(w).json);
        m_homeBase = QJsonObject{
            {QStringLiteral("site"), site()},
            {QStringLiteral("billingEnabled"), true},
            {QStringLiteral("categories"), categories()},
            {QStringLiteral("featured"),
             apps(QStringLiteral("WHERE a.featured = 1"), {}, QStringLiteral("ORDER BY a.position"))},
            {QStringLiteral("top"), apps({}, {}, QStringLiteral("ORDER BY a.downloads DESC, a.position LIMIT 10"))},
            {QStringLiteral("latest"), apps({}, {}, QStringLiteral("ORDER BY a.updated_at DESC, a.position LIMIT 12"))},
            {QStringLiteral("wallpapers"), homeWallpapers},
            {QStringLiteral("plans"), plans()},
        };
    }
    QJsonObject home = *m_homeBase;
    home.insert(QStringLiteral("stats"), stats());
    return home;
}

QByteArray Catalogue::homeBody(qint64 nowMs)
{
    constexpr qint64 kStatsMaxAgeMs = 5000;
    if (m_homeBody.isEmpty() || nowMs - m_homeBodyAt > kStatsMaxAgeMs || nowMs < m_homeBodyAt) {
        m_homeBody = QJsonDocument(home()).toJson(QJsonDocument::Compact);
        m_homeBodyAt = nowMs;
    }
    return m_homeBody;
}

std::optional<Catalogue::DetailBody> Catalogue::detailBody(const QString &slug)
{
    if (auto it = m_detailBodies.constFind(slug); it != m_detailBodies.constEnd())
        return *it;
    const auto object = detail(slug);
    if (!object)
        return std::nullopt;
    const DetailBody body{QJsonDocument(*object).toJson(QJsonDocument::Compact),
                          object->value(QStringLiteral("app")).toObject().value(QStringLiteral("isFree")).toBool()};
    m_detailBodies.insert(slug, body);
    return body;
}

QJsonArray Catalogue::wallpapers(const QString &collection)
{
    QJsonArray out;
    QSqlQuery q = collection.isEmpty()
        ? m_db.run(kWallpaperSelect + QStringLiteral("ORDER BY position"))
        : m_db.run(kWallpaperSelect + QStringLiteral("WHERE collection = ? ORDER BY position"), {collection});
    while (q.next())
        out.append(wallpaperFrom(q).json);
    return out;
}

std::optional<WallpaperEntry> Catalogue::wallpaper(const QString &slug)
{
    QSqlQuery q = m_db.run(kWallpaperSelect + QStringLiteral("WHERE slug = ?"), {slug});
    if (!q.next())
        return std::nullopt;
    return wallpaperFrom(q);
}

QJsonArray Catalogue::plans()
{
    QJsonArray out;
    QSqlQuery q = m_db.run(QStringLiteral("SELECT id, slug, name, days, price, original_price, badge, description,"
                                          " features FROM plans ORDER BY position"));
    while (q.next())
        out.append(QJsonObject{{QStringLiteral("id"), q.value(0).toInt()},
                               {QStringLiteral("slug"), q.value(1).toString()},
                               {QStringLiteral("name"), q.value(2).toString()},
                               {QStringLiteral("days"), q.value(3).toInt()},
                               {QStringLiteral("price"), q.value(4).toDouble()},
                               {QStringLiteral("originalPrice"), q.value(5).toDouble()},
                               {QStringLiteral("badge"), q.value(6).toString()},
                               {QStringLiteral("description"), q.value(7).toString()},
                               {QStringLiteral("features"), jsonList(q.value(8).toString())}});
    return out;
}

std::optional<PlanEntry> Catalogue::plan(qint64 id)
{
    QSqlQuery q = m_db.run(QStringLiteral("SELECT id, slug, name, days, price FROM plans WHERE id = ?"), {id});
    if (!q.next())
        return std::nullopt;
    return PlanEntry{q.value(0).toInt(), q.value(1).toString(), q.value(2).toString(), q.value(3).toInt(),
                     q.value(4).toDouble()};
}

QString Catalogue::collectionLabel(const QString &key)
{
    if (key == QLatin1String("gradient"))
        return QStringLiteral("渐变");
    if (key == QLatin1String("abstract"))
        return QStringLiteral("抽象");
    if (key == QLatin1String("minimal"))
        return QStringLiteral("极简");
    return key;
}
