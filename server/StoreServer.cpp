#include "server/StoreServer.h"

#include "server/AccountRoutes.h"
#include "server/CatalogRoutes.h"
#include "server/CommerceRoutes.h"
#include "server/Context.h"
#include "server/Http.h"
#include "server/Pages.h"
#include "server/WallpaperRoutes.h"

#include <QDir>
#include <QHttpServer>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QTcpServer>
#include <QTcpSocket>

namespace {

// Replies are written as a header block and a body; with Nagle's algorithm on, the last part of a large body
// waits for the client's delayed acknowledgement (about 40 ms on Linux). Every accepted socket turns it off.
class LowDelayTcpServer : public QTcpServer
{
public:
    using QTcpServer::QTcpServer;

protected:
    void incomingConnection(qintptr descriptor) override
    {
        auto *socket = new QTcpSocket(this);
        if (!socket->setSocketDescriptor(descriptor)) {
            delete socket;
            return;
        }
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        addPendingConnection(socket);
    }
};

} // namespace

StoreServer::StoreServer() = default;
StoreServer::~StoreServer() = default;

QString StoreServer::databasePath() const
{
    return m_context ? QDir(m_context->dataDir).filePath(QStringLiteral("store.sqlite")) : QString();
}

bool StoreServer::start(const Options &options, QString *error)
{
    if (!Auth::initCrypto()) {
        *error = QStringLiteral("libsodium could not be initialised");
        return false;
    }
    if (options.dataDir.isEmpty() || !QDir().mkpath(options.dataDir)) {
        *error = QStringLiteral("cannot create the data folder %1").arg(options.dataDir);
        return false;
    }
    Auth::decoyHash();
    m_context = std::make_unique<Context>();
    m_context->dataDir = QDir(options.dataDir).absolutePath();
    if (!m_context->db.open(databasePath(), error))
        return false;

    m_http = std::make_unique<QHttpServer>();
    registerCatalogRoutes(*m_http, *m_context);
    registerAccountRoutes(*m_http, *m_context);
    registerCommerceRoutes(*m_http, *m_context);
    registerWallpaperRoutes(*m_http, *m_context);
    registerPages(*m_http, *m_context);
    m_http->setMissingHandler([](const QHttpServerRequest &request, QHttpServerResponder &&responder) {
        Http::error(Http::Status::NotFound, QStringLiteral("未找到：%1").arg(request.url().path()))
            .write(std::move(responder));
    });

    auto *tcp = new LowDelayTcpServer(m_http.get());
    if (!tcp->listen(options.host, options.port)) {
        *error = QStringLiteral("cannot listen on %1:%2: %3")
                     .arg(options.host.toString())
                     .arg(options.port)
                     .arg(tcp->errorString());
        return false;
    }
    m_http->bind(tcp);
    m_port = tcp->serverPort();
    if (m_port == 0) {
        *error = QStringLiteral("cannot listen on %1:%2").arg(options.host.toString()).arg(options.port);
        return false;
    }
    return true;
}
