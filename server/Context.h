#pragma once
// What every route shares: the database, the catalogue cache, accounts, the sign-in throttle and the data folder.
#include "server/Auth.h"
#include "server/Database.h"
#include "server/Records.h"

#include <QDateTime>
#include <QString>

struct Context
{
    Database db;
    Catalogue catalogue{db};
    Accounts accounts{db};
    LoginThrottle throttle; // per e-mail
    LoginThrottle clientThrottle{30}; // per client address, across e-mails
    QString dataDir;

    [[nodiscard]] static qint64 now() { return QDateTime::currentSecsSinceEpoch(); }
};
