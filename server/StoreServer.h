#pragma once
// The store service: opens the data folder and database, registers every route and listens.
#include "server/HttpFront.h"

#include <QHostAddress>
#include <QString>
#include <memory>

class QHttpServer;
struct Context;

class StoreServer
{
public:
    struct Options
    {
        QHostAddress host = QHostAddress::LocalHost;
        quint16 port = 4812; // 0 picks a free port
        QString dataDir;
        // Where clients and phones reach the service (payment page and QR addresses); empty: the listening address.
        QString publicUrl;
        FrontLimits limits;
    };

    StoreServer();
    ~StoreServer();

    bool start(const Options &options, QString *error);
    [[nodiscard]] quint16 port() const { return m_port; }
    [[nodiscard]] QString databasePath() const;
    [[nodiscard]] QString publicUrl() const;

private:
    std::unique_ptr<Context> m_context;
    std::unique_ptr<QHttpServer> m_http;
    quint16 m_port = 0;
};
