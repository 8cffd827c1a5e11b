#include "server/Migrations.h"

#include "server/Database.h"
#include "server/SeedData.h"

#include <QDateTime>
#include <QSqlQuery>
#include <QStringList>
#include <functional>
#include <vector>

namespace {

// Plain portable DDL: no AUTOINCREMENT, no SQLite type affinities; every key is assigned by the service.
const QStringList kCatalogueSchema = {
    QStringLiteral("CREATE TABLE site_settings (name VARCHAR(64) PRIMARY KEY, value TEXT NOT NULL)"),
    QStringLiteral("CREATE TABLE categories (id INTEGER PRIMARY KEY, slug VARCHAR(64) NOT NULL UNIQUE,"
                   " name VARCHAR(64) NOT NULL, glyph VARCHAR(64) NOT NULL, accent VARCHAR(16) NOT NULL,"
                   " position INTEGER NOT NULL)"),
    QStringLiteral("CREATE TABLE apps (id INTEGER PRIMARY KEY, slug VARCHAR(96) NOT NULL UNIQUE,"
                   " name VARCHAR(128) NOT NULL, tagline VARCHAR(256) NOT NULL, glyph VARCHAR(64) NOT NULL,"
                   " accent VARCHAR(16) NOT NULL, accent2 VARCHAR(16) NOT NULL, version VARCHAR(32) NOT NULL,"
                   " size VARCHAR(32) NOT NULL, min_os VARCHAR(32) NOT NULL, arch VARCHAR(16) NOT NULL,"
                   " is_free INTEGER NOT NULL, license VARCHAR(64) NOT NULL, price DOUBLE PRECISION NOT NULL,"
                   " rating DOUBLE PRECISION NOT NULL, rating_count INTEGER NOT NULL, downloads BIGINT NOT NULL,"
                   " category_id INTEGER REFERENCES categories(id), staff_pick INTEGER NOT NULL,"
                   " editors_choice INTEGER NOT NULL, featured INTEGER NOT NULL, tags TEXT NOT NULL,"
                   " features TEXT NOT NULL, description TEXT NOT NULL, homepage VARCHAR(256) NOT NULL,"
                   " developer VARCHAR(128) NOT NULL, updated_at VARCHAR(32) NOT NULL, position INTEGER NOT NULL)"),
    QStringLiteral("CREATE TABLE app_versions (id INTEGER PRIMARY KEY, app_id INTEGER NOT NULL REFERENCES apps(id),"
                   " version VARCHAR(32) NOT NULL, size VARCHAR(32) NOT NULL, notes TEXT,"
                   " released_at VARCHAR(32) NOT NULL, position INTEGER NOT NULL)"),
    QStringLiteral("CREATE TABLE reviews (id INTEGER PRIMARY KEY, app_id INTEGER NOT NULL REFERENCES apps(id),"
                   " nickname VARCHAR(64) NOT NULL, rating INTEGER NOT NULL, content TEXT NOT NULL,"
                   " created_at VARCHAR(32) NOT NULL)"),
    QStringLiteral("CREATE TABLE related_apps (app_id INTEGER NOT NULL REFERENCES apps(id),"
                   " related_id INTEGER NOT NULL REFERENCES apps(id), position INTEGER NOT NULL,"
                   " PRIMARY KEY (app_id, related_id))"),
    QStringLiteral("CREATE TABLE netdisk_links (id INTEGER PRIMARY KEY, app_id INTEGER NOT NULL REFERENCES apps(id),"
                   " provider VARCHAR(32) NOT NULL, label VARCHAR(128) NOT NULL, url VARCHAR(512) NOT NULL,"
                   " code VARCHAR(32) NOT NULL, size VARCHAR(32) NOT NULL, note VARCHAR(256) NOT NULL,"
                   " position INTEGER NOT NULL)"),
    QStringLiteral("CREATE TABLE wallpapers (id INTEGER PRIMARY KEY, slug VARCHAR(96) NOT NULL UNIQUE,"
                   " title VARCHAR(128) NOT NULL, collection VARCHAR(32) NOT NULL, resolution VARCHAR(32) NOT NULL,"
                   " c1 VARCHAR(16) NOT NULL, c2 VARCHAR(16) NOT NULL, c3 VARCHAR(16) NOT NULL,"
                   " featured INTEGER NOT NULL, position INTEGER NOT NULL)"),
    QStringLiteral("CREATE TABLE plans (id INTEGER PRIMARY KEY, slug VARCHAR(32) NOT NULL UNIQUE,"
                   " name VARCHAR(64) NOT NULL, days INTEGER NOT NULL, price DOUBLE PRECISION NOT NULL,"
                   " original_price DOUBLE PRECISION NOT NULL, badge VARCHAR(32) NOT NULL,"
                   " description VARCHAR(256) NOT NULL, features TEXT NOT NULL, position INTEGER NOT NULL)"),
    QStringLiteral("CREATE TABLE articles (id INTEGER PRIMARY KEY, kind VARCHAR(16) NOT NULL,"
                   " slug VARCHAR(96) NOT NULL, title VARCHAR(128) NOT NULL, summary VARCHAR(256) NOT NULL,"
                   " body TEXT NOT NULL, published_at VARCHAR(32) NOT NULL, UNIQUE (kind, slug))"),
};

const QStringList kAccountSchema = {
    QStringLiteral("CREATE TABLE users (id INTEGER PRIMARY KEY, email VARCHAR(254) NOT NULL UNIQUE,"
                   " password_hash VARCHAR(255) NOT NULL, nickname VARCHAR(64) NOT NULL, role VARCHAR(16) NOT NULL,"
                   " level INTEGER NOT NULL, points INTEGER NOT NULL, sponsor_until BIGINT,"
                   " sponsor_forever INTEGER NOT NULL, created_at BIGINT NOT NULL)"),
    QStringLiteral("CREATE TABLE sessions (token_hash VARCHAR(64) PRIMARY KEY,"
                   " user_id INTEGER NOT NULL REFERENCES users(id), created_at BIGINT NOT NULL,"
                   " expires_at BIGINT NOT NULL)"),
    QStringLiteral("CREATE INDEX sessions_user ON sessions (user_id)"),
    QStringLiteral(
        "CREATE TABLE orders (order_no VARCHAR(40) PRIMARY KEY, user_id INTEGER NOT NULL REFERENCES users(id),"
        " plan_id INTEGER NOT NULL REFERENCES plans(id), plan_name VARCHAR(64) NOT NULL,"
        " days INTEGER NOT NULL, amount DOUBLE PRECISION NOT NULL, status VARCHAR(16) NOT NULL,"
        " pay_type VARCHAR(16) NOT NULL, gateway VARCHAR(16) NOT NULL, created_at_ms BIGINT NOT NULL,"
        " paid_at_ms BIGINT)"),
    QStringLiteral("CREATE INDEX orders_user ON orders (user_id, created_at_ms)"),
};

// Failed sign-ins, shared by every instance of the service; rows older than the throttle's minute are deleted.
const QStringList kThrottleSchema = {
    QStringLiteral("CREATE TABLE login_failures (attempt_id VARCHAR(32) PRIMARY KEY,"
                   " throttle_key VARCHAR(600) NOT NULL, failed_at BIGINT NOT NULL)"),
    QStringLiteral("CREATE INDEX login_failures_key ON login_failures (throttle_key, failed_at)"),
    QStringLiteral("CREATE INDEX login_failures_time ON login_failures (failed_at)"),
};

bool runAll(Database &db, const QStringList &statements, QString *error)
{
    for (const QString &sql : statements) {
        if (!db.run(sql).isActive()) {
            if (error)
                *error = db.lastError();
            return false;
        }
    }
    return true;
}

struct Migration
{
    int version;
    std::function<bool(Database &, QString *)> apply;
};

const std::vector<Migration> &migrations()
{
    static const std::vector<Migration> list = {
        {1, [](Database &db, QString *e) { return runAll(db, kCatalogueSchema, e); }},
        {2, [](Database &db, QString *e) { return runAll(db, kAccountSchema, e); }},
        {3, [](Database &db, QString *e) { return seedCatalogue(db, e); }},
        {4, [](Database &db, QString *e) { return seedAccounts(db, e); }},
        {5, [](Database &db, QString *e) { return runAll(db, kThrottleSchema, e); }},
    };
    return list;
}

} // namespace

int latestSchemaVersion()
{
    return migrations().back().version;
}

bool applyMigrations(Database &db, QString *error)
{
    if (db.schemaVersion() == 0 && !db.connection().tables().contains(QStringLiteral("schema_migrations"))) {
        if (!db.run(QStringLiteral("CREATE TABLE schema_migrations (version INTEGER PRIMARY KEY,"
                                   " applied_at BIGINT NOT NULL)"))
                 .isActive()) {
            if (error)
                *error = db.lastError();
            return false;
        }
    }
    const int current = db.schemaVersion();
    if (current > latestSchemaVersion()) {
        if (error)
            *error = QStringLiteral("database schema version %1 is newer than this server (%2)")
                         .arg(current)
                         .arg(latestSchemaVersion());
        return false;
    }
    for (const Migration &step : migrations()) {
        if (step.version <= current)
            continue;
        Transaction tx(db);
        if (!step.apply(db, error))
            return false;
        db.run(QStringLiteral("INSERT INTO schema_migrations (version, applied_at) VALUES (?, ?)"),
               {step.version, QDateTime::currentSecsSinceEpoch()});
        if (!tx.commit()) {
            if (error)
                *error = db.lastError();
            return false;
        }
    }
    return true;
}
