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

namespace {

// For balancers: the process answers at all, and it can serve (its database is reachable and migrated).
void registerHealthRoutes(QHttpServer &server, Context &ctx)
{
    using Method = QHttpServerRequest::Method;
    Context *c = &ctx;
    Http::route(server, ctx.routes, QStringLiteral("/healthz"), Method::Get, [] {
        return Http::json(QJsonObject{{QStringLiteral("ok"), true}});
    });
    Http::route(server, ctx.routes, QStringLiteral("/readyz"), Method::Get, [c] {
        if (!c->db.ready())
            return Http::error(Http::Status::ServiceUnavailable, QStringLiteral("数据库不可用或版本不符"));
        return Http::json(QJsonObject{{QStringLiteral("ok"), true}});
    });
}

} // namespace

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
    m_context->trustedProxies = options.trustedProxies;
    m_database = options.database.value_or(
        DatabaseLocation::sqliteFile(QDir(m_context->dataDir).filePath(QStringLiteral("store.sqlite"))));
    if (!m_context->db.open(m_database, error))
        return false;

    m_http = std::make_unique<QHttpServer>();
    registerCatalogRoutes(*m_http, *m_context);
    registerAccountRoutes(*m_http, *m_context);
    registerCommerceRoutes(*m_http, *m_context);
    registerWallpaperRoutes(*m_http, *m_context);
    registerPages(*m_http, *m_context);
    registerHealthRoutes(*m_http, *m_context);
    const Context *c = m_context.get();
    m_http->setMissingHandler([c](const QHttpServerRequest &request, QHttpServerResponder &&responder) {
        Http::unrouted(c->routes, request).write(std::move(responder));
    });

    auto *tcp = new HttpFront(options.limits, m_http.get());
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
    m_context->publicUrl = options.publicUrl;
    if (m_context->publicUrl.isEmpty()) {
        const QHostAddress host = options.host.isEqual(QHostAddress::Any) || options.host.isEqual(QHostAddress::AnyIPv4)
            ? QHostAddress(QHostAddress::LocalHost)
            : options.host;
        const QString name = host.protocol() == QAbstractSocket::IPv6Protocol
            ? QLatin1Char('[') + host.toString() + QLatin1Char(']')
            : host.toString();
        m_context->publicUrl = QStringLiteral("http://%1:%2").arg(name).arg(m_port);
    }
    return true;
}

QString StoreServer::publicUrl() const
{
    return m_context ? m_context->publicUrl : QString();
}
