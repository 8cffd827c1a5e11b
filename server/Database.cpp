#include "server/Database.h"

#include "server/Logging.h"
#include "server/Migrations.h"

#include <QAtomicInt>
#include <QDateTime>
#include <QSqlError>

namespace {
QAtomicInt s_connectionCounter;
}

Database::Database()
    : m_connectionName(QStringLiteral("vexlo-store-%1").arg(s_connectionCounter.fetchAndAddRelaxed(1)))
{ }

Database::~Database()
{
    if (m_db.isValid()) {
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_connectionName);
    }
}

bool Database::open(const QString &filePath, QString *error)
{
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    m_db.setDatabaseName(filePath);
    if (!m_db.open()) {
        if (error)
            *error = m_db.lastError().text();
        return false;
    }
    return applyMigrations(*this, error);
}

QSqlQuery Database::run(const QString &sql, const QVariantList &params)
{
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    if (!query.prepare(sql)) {
        m_lastError = query.lastError().text();
        qCWarning(lcServer, "sql prepare failed: %s: %s", qPrintable(sql), qPrintable(m_lastError));
        return query;
    }
    for (const QVariant &value : params)
        query.addBindValue(value);
    if (!query.exec()) {
        m_lastError = query.lastError().text();
        qCWarning(lcServer, "sql failed: %s: %s", qPrintable(sql), qPrintable(m_lastError));
    }
    return query;
}

QVariant Database::scalar(const QString &sql, const QVariantList &params)
{
    QSqlQuery query = run(sql, params);
    if (query.isActive() && query.next())
        return query.value(0);
    return {};
}

bool Database::transaction()
{
    return m_db.transaction();
}
bool Database::commit()
{
    return m_db.commit();
}
void Database::rollback()
{
    m_db.rollback();
}

int Database::schemaVersion()
{
    if (!m_db.tables().contains(QStringLiteral("schema_migrations")))
        return 0;
    return scalar(QStringLiteral("SELECT MAX(version) FROM schema_migrations")).toInt();
}
