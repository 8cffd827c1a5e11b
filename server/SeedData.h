#pragma once
// The first-start content of a fresh database: the Chinese demo catalogue, read from seed/catalogue.json (built into
// the service), and the two demo accounts.
#include <QString>

class Database;

bool seedCatalogue(Database &db, QString *error);
bool seedAccounts(Database &db, QString *error);
