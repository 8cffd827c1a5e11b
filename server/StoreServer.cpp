#include "server/StoreServer.h"

#include "server/AccountRoutes.h"
#include "server/CatalogRoutes.h"
#include "server/CommerceRoutes.h"
#include "server/Context.h"
#include "server/Http.h"
#include "server/Pages.h"
#include "server/WallpaperRoutes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHttpServer>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QUrl>

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

// "scheme://host[:port]", as a browser names the page it sends a request from.
QByteArray originOf(const QString &address)
{
    const QUrl url(address);
    const int defaultPort = url.scheme() == QLatin1String("https") ? 443 : 80;
    const QString host = url.host(QUrl::FullyEncoded);
    QString origin = url.scheme() + QStringLiteral("://") + (host.contains(u':') ? u'[' + host + u']' : host);
    if (url.port(defaultPort) != defaultPort)
        origin += u':' + QString::number(url.port());
    return origin.toLatin1();
}

// The data folder holds password and session hashes: only the service's own user may read it. A folder the service
// creates is closed to others; a database file it finds open to others (and its journal files) is closed too, and
// a new one is created closed, so that SQLite gives its journal files the same mode.
bool makePrivateFolder(const QString &path)
{
    if (QFileInfo::exists(path))
        return QFileInfo(path).isDir();
    return QDir().mkpath(path) && QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void makePrivateDatabase(const DatabaseLocation &location)
{
    if (location.engine != DatabaseLocation::Engine::sqlite)
        return;
    QFile file(location.path);
    if (!file.exists() && file.open(QIODevice::WriteOnly))
        file.close();
    for (const QString &suffix :
         {QString(), QStringLiteral("-wal"), QStringLiteral("-shm"), QStringLiteral("-journal")})
        if (QFile::exists(location.path + suffix))
            QFile::setPermissions(location.path + suffix, QFile::ReadOwner | QFile::WriteOwner);
}

} // namespace

bool StoreServer::start(const Options &options, QString *error)
{
    if (!Auth::initCrypto()) {
        *error = QStringLiteral("libsodium could not be initialised");
        return false;
    }
    if (options.dataDir.isEmpty() || !makePrivateFolder(options.dataDir)) {
        *error = QStringLiteral("cannot create the data folder %1").arg(options.dataDir);
        return false;
    }
    Auth::decoyHash();
    m_context = std::make_unique<Context>();
    m_context->dataDir = QDir(options.dataDir).absolutePath();
    m_context->trustedProxies = options.trustedProxies;
    m_database = options.database.value_or(
        DatabaseLocation::sqliteFile(QDir(m_context->dataDir).filePath(QStringLiteral("store.sqlite"))));
    makePrivateDatabase(m_database);
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
    tcp->setPublicOrigin(originOf(m_context->publicUrl));
    m_context->secureCookies = m_context->publicUrl.startsWith(QLatin1String("https:"));
    return true;
}

QString StoreServer::publicUrl() const
{
    return m_context ? m_context->publicUrl : QString();
}
