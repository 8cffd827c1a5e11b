#pragma once
// The service's SQL connection: opens (or creates) the database file, runs the versioned migrations and offers
// small helpers for parameterised statements. Only portable SQL goes through here.
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <optional>

class Database
{
public:
    Database();
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    // Opens the file, applies pending migrations. Returns false with a message on failure.
    bool open(const QString &filePath, QString *error);

    // Runs one statement with positional "?" parameters; asserts nothing, reports through lastError().
    QSqlQuery run(const QString &sql, const QVariantList &params = {});
    // First column of the first row, or an invalid QVariant.
    QVariant scalar(const QString &sql, const QVariantList &params = {});

    bool transaction();
    bool commit();
    void rollback();

    [[nodiscard]] int schemaVersion();
    [[nodiscard]] QString lastError() const { return m_lastError; }
    [[nodiscard]] QSqlDatabase &connection() { return m_db; }

private:
    QString m_connectionName;
    QSqlDatabase m_db;
    QString m_lastError;
};

// Commits on commit(); rolls back when it goes out of scope uncommitted.
class Transaction
{
public:
    explicit Transaction(Database &db)
        : m_db(db)
    {
        m_open = m_db.transaction();
    }
    ~Transaction()
    {
        if (m_open)
            m_db.rollback();
    }
    bool commit()
    {
        if (!m_open)
            return false;
        m_open = false;
        return m_db.commit();
    }

private:
    Database &m_db;
    bool m_open = false;
};
