#pragma once
// The store service: opens the data folder and database, registers every route and listens.
#include "server/Database.h"
#include "server/HttpFront.h"

#include <QHostAddress>
#include <QList>
#include <QString>
#include <memory>
#include <optional>

class QHttpServer;
struct Context;

class StoreServer
{
public:
    struct Options
    {
        QHostAddress host = QHostAddress::LocalHost;
        quint16 port = 4812; // 0 picks a free port
        QString dataDir; // generated images, and the SQLite database unless another is named
        std::optional<DatabaseLocation> database; // default: store.sqlite in dataDir
        QList<QHostAddress> trustedProxies; // balancers whose X-Forwarded-For names the client
        // Where clients and phones reach the service (payment page and QR addresses); empty: the listening address.
        QString publicUrl;
        FrontLimits limits;
    };

    StoreServer();
    ~StoreServer();

    bool start(const Options &options, QString *error);
    [[nodiscard]] quint16 port() const { return m_port; }
    [[nodiscard]] QString databaseDisplay() const { return m_database.display(); }
    [[nodiscard]] QString publicUrl() const;

private:
    std::unique_ptr<Context> m_context;
    std::unique_ptr<QHttpServer> m_http;
    DatabaseLocation m_database;
    quint16 m_port = 0;
};
