#pragma once
// What every route shares: the database and its repositories (catalogue cache, articles, accounts, orders), the
// sign-in throttles, the password checks, the route table, the data folder and the address the service is reached at.
#include "server/Articles.h"
#include "server/Auth.h"
#include "server/Database.h"
#include "server/Http.h"
#include "server/Orders.h"
#include "server/PasswordPool.h"
#include "server/Records.h"

#include <QDateTime>
#include <QHostAddress>
#include <QList>
#include <QString>

struct Context
{
    Database db;
    Catalogue catalogue{db};
    Accounts accounts{db};
    Orders orders{db};
    Articles articles{db};
    // Keyed on e-mail and client address together, so failures from elsewhere cannot lock the owner out.
    LoginThrottle throttle{db, QStringLiteral("pair")};
    LoginThrottle clientThrottle{db, QStringLiteral("client"), 30}; // per client address, across e-mails
    Http::RouteTable routes;
    QString dataDir;
    QString publicUrl; // scheme, host, port and any path prefix, without a trailing slash
    bool secureCookies = false; // the public address is https
    QList<QHostAddress> trustedProxies; // balancers whose X-Forwarded-For names the client
    PasswordPool passwords; // last: destroyed first, so no check finishes into a half-destroyed context

    [[nodiscard]] static qint64 now() { return QDateTime::currentSecsSinceEpoch(); }
};
