#pragma once
// Versioned schema migrations. Each step runs once, in order, inside a transaction, and is recorded in
// schema_migrations; the catalogue seed is one of the steps, so a restart never seeds twice.
#include <QString>

class Database;

bool applyMigrations(Database &db, QString *error);
int latestSchemaVersion();
