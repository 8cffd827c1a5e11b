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

StoreServer::StoreServer() = default;
StoreServer::~StoreServer() = default;

QString StoreServer::databasePath() const
{
    return m_context ? QDir(m_context->dataDir).filePath(QStringLiteral("store.sqlite")) : QString();
}

bool StoreServer::start(const Options& options, QString* error)
{
    if (!Auth::initCrypto()) {
        *error = QStringLiteral("libsodium could not be initialised");
        return false;
    }
    if (options.dataDir.isEmpty() || !QDir().mkpath(options.dataDir)) {
        *error = QStringLiteral("cannot create the data folder %1").arg(options.dataDir);
        return false;
    }
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
    m_http->setMissingHandler([](const QHttpServerRequest& request, QHttpServerResponder&& responder) {
        Http::error(Http::Status::NotFound, QStringLiteral("未找到：%1").arg(request.url().path()))
            .write(std::move(responder));
    });

    m_port = m_http->listen(options.host, options.port);
    if (m_port == 0) {
        *error = QStringLiteral("cannot listen on %1:%2").arg(options.host.toString()).arg(options.port);
        return false;
    }
    return true;
}
