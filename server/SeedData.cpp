#include "server/SeedData.h"

#include "server/Auth.h"
#include "server/Database.h"

#include <QDateTime>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlQuery>
#include <QStringList>

#include <algorithm>
#include <array>

namespace {

// The demo catalogue built into the service: categories, apps, wallpapers, plans, articles and the texts reviews and
// release notes are drawn from. Empty when it cannot be read.
const QJsonObject &catalogue()
{
    static const QJsonObject data = [] {
        QFile file(QStringLiteral(":/seed/catalogue.json"));
        return file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll()).object() : QJsonObject();
    }();
    return data;
}

QJsonArray section(const char *name)
{
    return catalogue().value(QLatin1String(name)).toArray();
}

// Never a null QString: the driver would bind NULL for it, and every seeded text column is NOT NULL.
QString text(const QJsonValue &value)
{
    const QString s = value.toString();
    return s.isNull() ? QStringLiteral("") : s;
}

QString listJson(const QJsonValue &items)
{
    return QString::fromUtf8(QJsonDocument(items.toArray()).toJson(QJsonDocument::Compact));
}

// The text at index modulo the list's length.
QString pick(const QJsonArray &texts, qsizetype index)
{
    return text(texts.at(index % texts.size()));
}

bool check(Database &db, const QSqlQuery &q, QString *error)
{
    if (q.isActive())
        return true;
    if (error)
        *error = db.lastError();
    return false;
}

QString isoDaysBefore(const QString &iso, int days)
{
    return QDateTime::fromString(iso, Qt::ISODate).addDays(-days).toString(Qt::ISODate);
}

// Two earlier releases before the current one: "3.2.1" gives "3.2.0" and "3.1.0".
QStringList previousVersions(const QString &current)
{
    QStringList parts = current.split(QLatin1Char('.'));
    while (parts.size() < 3)
        parts.append(QStringLiteral("0"));
    const int major = parts[0].toInt();
    const int minor = parts[1].toInt();
    const int patch = parts[2].toInt();
    QStringList out;
    if (patch > 0)
        out << QStringLiteral("%1.%2.%3").arg(major).arg(minor).arg(patch - 1);
    else if (minor > 0)
        out << QStringLiteral("%1.%2.5").arg(major).arg(minor - 1);
    else
        out << QStringLiteral("%1.9.0").arg(qMax(0, major - 1));
    out << (minor > 0 ? QStringLiteral("%1.%2.0").arg(major).arg(minor - 1)
                      : QStringLiteral("%1.8.2").arg(qMax(0, major - 1)));
    return out;
}

bool seedCategories(Database &db, QString *error)
{
    int position = 0;
    for (const QJsonValue &c : section("categories")) {
        ++position;
        if (!check(
                db,
                db.run(QStringLiteral("INSERT INTO categories (id, slug, name, glyph, accent, position)"
                                      " VALUES (?, ?, ?, ?, ?, ?)"),
                       {position, text(c[u"slug"]), text(c[u"name"]), text(c[u"glyph"]), text(c[u"accent"]), position}),
                error))
            return false;
    }
    return true;
}

int categoryId(const QJsonValue &slug)
{
    int id = 0;
    for (const QJsonValue &c : section("categories")) {
        ++id;
        if (c[u"slug"] == slug)
            return id;
    }
    return 0;
}

bool isFree(const QJsonValue &app)
{
    return text(app[u"license"]).isEmpty() || app[u"price"].toDouble() == 0;
}

bool seedApp(Database &db, int id, const QJsonValue &a, QString *error)
{
    const QString license = text(a[u"license"]).isEmpty() ? QStringLiteral("免费") : text(a[u"license"]);
    return check(
        db,
        db.run(
            QStringLiteral(
                "INSERT INTO apps (id, slug, name, tagline, glyph, accent, accent2, version, size, min_os, arch, is_free,"
                " license, price, rating, rating_count, downloads, category_id, staff_pick, editors_choice, featured, tags,"
                " features, description, homepage, developer, updated_at, position)"
                " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            {id,
             text(a[u"slug"]),
             text(a[u"name"]),
             text(a[u"tagline"]),
             text(a[u"glyph"]),
             text(a[u"accent"]),
             text(a[u"accent2"]),
             text(a[u"version"]),
             text(a[u"size"]),
             text(a[u"minOs"]),
             text(a[u"arch"]),
             isFree(a) ? 1 : 0,
             license,
             a[u"price"].toDouble(),
             a[u"rating"].toDouble(),
             a[u"ratingCount"].toInt(),
             a[u"downloads"].toInteger(),
             categoryId(a[u"category"]),
             a[u"staffPick"].toBool() ? 1 : 0,
             a[u"editorsChoice"].toBool() ? 1 : 0,
             a[u"featured"].toBool() ? 1 : 0,
             listJson(a[u"tags"]),
             listJson(a[u"features"]),
             text(a[u"description"]),
             QStringLiteral("https://%1.example.com/").arg(text(a[u"slug"])),
             text(a[u"developer"]),
             text(a[u"updatedAt"]),
             id}),
        error);
}

bool seedVersions(Database &db, int appId, const QJsonValue &a, int *nextId, QString *error)
{
    const QJsonArray notes = section("releaseNotes");
    QStringList versions{text(a[u"version"])};
    versions += previousVersions(versions.first());
    for (int i = 0; i < versions.size(); ++i) {
        // The oldest release of every third app has no notes: not every release had them.
        const QVariant note =
            (i == 2 && appId % 3 == 0) ? QVariant(QMetaType::fromType<QString>()) : QVariant(pick(notes, appId + i));
        if (!check(db,
                   db.run(QStringLiteral("INSERT INTO app_versions (id, app_id, version, size, notes, released_at,"
                                         " position) VALUES (?, ?, ?, ?, ?, ?, ?)"),
                          {(*nextId)++, appId, versions[i], text(a[u"size"]), note,
                           isoDaysBefore(text(a[u"updatedAt"]), i * 41), i}),
                   error))
            return false;
    }
    return true;
}

bool seedReviews(Database &db, int appId, const QJsonValue &a, int *nextId, QString *error)
{
    const QJsonArray texts = section("reviewTexts");
    const QJsonArray names = section("reviewerNames");
    const int count = 2 + appId % 3;
    for (int i = 0; i < count; ++i) {
        const int rating = (appId + i) % 4 == 0 ? 4 : 5;
        if (!check(db,
                   db.run(QStringLiteral("INSERT INTO reviews (id, app_id, nickname, rating, content, created_at)"
                                         " VALUES (?, ?, ?, ?, ?, ?)"),
                          {(*nextId)++, appId, pick(names, appId * 3 + i), rating, pick(texts, appId * 7 + i * 3),
                           isoDaysBefore(text(a[u"updatedAt"]), i * 9 + 2)}),
                   error))
            return false;
    }
    return true;
}

bool seedLinks(Database &db, int appId, const QJsonValue &a, int *nextId, QString *error)
{
    static const char *const kCodes[] = {"vx8k", "m3qa", "p7de", "z2rn", "h5tw", "c9lb"};
    const QString slug = text(a[u"slug"]);
    const QString size = text(a[u"size"]);
    struct Link
    {
        QString provider, label, url, code, note;
    };
    QList<Link> links{
        {QStringLiteral("baidu"), QStringLiteral("百度网盘"),
         QStringLiteral("https://pan.example.com/baidu/%1").arg(slug), QString::fromLatin1(kCodes[appId % 6]),
         QStringLiteral("含安装包与使用说明")},
        {QStringLiteral("quark"), QStringLiteral("夸克网盘"),
         QStringLiteral("https://pan.example.com/quark/%1").arg(slug), QString::fromLatin1(kCodes[(appId + 3) % 6]),
         QStringLiteral("不限速")},
    };
    if (isFree(a))
        links.append({QStringLiteral("direct"), QStringLiteral("官方直链"),
                      QStringLiteral("https://%1.example.com/download").arg(slug), QStringLiteral(""),
                      QStringLiteral("开发者官网下载")});
    int position = 0;
    for (const Link &l : links) {
        if (!check(db,
                   db.run(QStringLiteral("INSERT INTO netdisk_links (id, app_id, provider, label, url, code, size,"
                                         " note, position) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                          {(*nextId)++, appId, l.provider, l.label, l.url, l.code, size, l.note, position++}),
                   error))
            return false;
    }
    return true;
}

// Related apps: the others of the same category first, then neighbours in the catalogue, four in all.
bool seedRelated(Database &db, QString *error)
{
    const QJsonArray apps = section("apps");
    const int n = int(apps.size());
    for (int i = 0; i < n; ++i) {
        QList<int> related;
        for (int j = 0; j < n && related.size() < 4; ++j)
            if (j != i && apps[j][u"category"] == apps[i][u"category"])
                related.append(j);
        for (int step = 1; step < n && related.size() < 4; ++step) {
            const int j = (i + step * 7) % n;
            if (j != i && !related.contains(j))
                related.append(j);
        }
        int position = 0;
        for (int j : related)
            if (!check(
                    db,
                    db.run(QStringLiteral("INSERT INTO related_apps (app_id, related_id, position) VALUES (?, ?, ?)"),
                           {i + 1, j + 1, position++}),
                    error))
                return false;
    }
    return true;
}

bool seedWallpapers(Database &db, QString *error)
{
    int id = 0;
    for (const QJsonValue &w : section("wallpapers")) {
        ++id;
        const QJsonArray colors = w[u"colors"].toArray();
        if (!check(db,
                   db.run(QStringLiteral("INSERT INTO wallpapers (id, slug, title, collection, resolution, c1, c2,"
                                         " c3, featured, position) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                          {id, text(w[u"slug"]), text(w[u"title"]), text(w[u"collection"]), QStringLiteral("5K"),
                           text(colors.at(0)), text(colors.at(1)), text(colors.at(2)), w[u"featured"].toBool() ? 1 : 0,
                           id}),
                   error))
            return false;
    }
    return true;
}

bool seedPlans(Database &db, QString *error)
{
    int position = 0;
    for (const QJsonValue &p : section("plans")) {
        if (!check(db,
                   db.run(QStringLiteral("INSERT INTO plans (id, slug, name, days, price, original_price, badge,"
                                         " description, features, position) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                          {p[u"id"].toInt(), text(p[u"slug"]), text(p[u"name"]), p[u"days"].toInt(),
                           p[u"price"].toDouble(), p[u"originalPrice"].toDouble(), text(p[u"badge"]),
                           text(p[u"description"]), listJson(p[u"features"]), position++}),
                   error))
            return false;
    }
    return true;
}

bool seedArticles(Database &db, QString *error)
{
    int id = 0;
    for (const QJsonValue &a : section("articles")) {
        ++id;
        if (!check(db,
                   db.run(QStringLiteral("INSERT INTO articles (id, kind, slug, title, summary, body, published_at)"
                                         " VALUES (?, ?, ?, ?, ?, ?, ?)"),
                          {id, text(a[u"kind"]), text(a[u"slug"]), text(a[u"title"]), text(a[u"summary"]),
                           text(a[u"body"]), text(a[u"publishedAt"])}),
                   error))
            return false;
    }
    return true;
}

bool seedSite(Database &db, QString *error)
{
    const QList<QPair<QString, QString>> settings{
        {QStringLiteral("name"), QStringLiteral("Vexlo 精选")},
        {QStringLiteral("tagline"), QStringLiteral("精挑细选的 Mac 软件与实用工具")},
        {QStringLiteral("announcement"), QStringLiteral("冬季壁纸已上线；年度赞助限时 88 元，到期不自动续费。")},
    };
    for (const auto &[name, value] : settings)
        if (!check(db, db.run(QStringLiteral("INSERT INTO site_settings (name, value) VALUES (?, ?)"), {name, value}),
                   error))
            return false;
    return true;
}

} // namespace

bool seedCatalogue(Database &db, QString *error)
{
    const bool readable = section("plans").size() >= 3 &&
        std::ranges::none_of(std::array{"categories", "apps", "releaseNotes", "reviewTexts", "reviewerNames"},
                             [](const char *name) { return section(name).isEmpty(); });
    if (!readable) {
        if (error)
            *error = QStringLiteral("the built-in catalogue cannot be read");
        return false;
    }
    if (!seedSite(db, error) || !seedCategories(db, error))
        return false;
    int versionId = 1, reviewId = 1, linkId = 1, id = 0;
    for (const QJsonValue &a : section("apps")) {
        ++id;
        if (!seedApp(db, id, a, error) || !seedVersions(db, id, a, &versionId, error) ||
            !seedReviews(db, id, a, &reviewId, error) || !seedLinks(db, id, a, &linkId, error))
            return false;
    }
    return seedRelated(db, error) && seedWallpapers(db, error) && seedPlans(db, error) && seedArticles(db, error);
}

bool seedAccounts(Database &db, QString *error)
{
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    struct Account
    {
        int id;
        QString email, password, nickname;
        int level, points;
        bool sponsor;
    };
    const QList<Account> accounts{
        {1, QStringLiteral("sponsor@vexlo.test"), QStringLiteral("vexlo-sponsor"), QStringLiteral("赞助体验官"), 3,
         1280, true},
        {2, QStringLiteral("member@vexlo.test"), QStringLiteral("vexlo-member"), QStringLiteral("新朋友"), 1, 60,
         false},
    };
    for (const Account &a : accounts) {
        const QString hash = Auth::hashPassword(a.password);
        if (hash.isEmpty()) {
            if (error)
                *error = QStringLiteral("password hashing failed");
            return false;
        }
        const QVariant until = a.sponsor ? QVariant(now + 365LL * 86400) : QVariant(QMetaType::fromType<qlonglong>());
        if (!check(
                db,
                db.run(QStringLiteral("INSERT INTO users (id, email, password_hash, nickname, role, level, points,"
                                      " sponsor_until, sponsor_forever, created_at)"
                                      " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                       {a.id, a.email, hash, a.nickname, QStringLiteral("member"), a.level, a.points, until, 0, now}),
                error))
            return false;
    }
    // The demo sponsor's yearly plan, so its order history is not empty.
    const QJsonValue yearly = section("plans").at(2);
    return check(db,
                 db.run(QStringLiteral(
                            "INSERT INTO orders (order_no, user_id, plan_id, plan_name, days, amount, status,"
                            " pay_type, gateway, created_at_ms, paid_at_ms) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                        {QStringLiteral("VX-DEMO-0001"), 1, yearly[u"id"].toInt(), text(yearly[u"name"]),
                         yearly[u"days"].toInt(), yearly[u"price"].toDouble(), QStringLiteral("paid"),
                         QStringLiteral("wxpay"), QStringLiteral("hubijiao"), (now - 60) * 1000, (now - 30) * 1000}),
                 error);
}
