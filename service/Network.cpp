#include "service/Network.h"
#include "service/CookieJar.h"

#include <QCoreApplication>
#include <QPointer>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

QString cookieFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
        u"/Vexlo/VexloToolbox/cookies.json"_s;
}

QNetworkAccessManager &sharedNetwork()
{
    // Owned by the application object so it goes away before Qt's own globals do.
    static QPointer<QNetworkAccessManager> manager;
    if (!manager) {
        manager = new QNetworkAccessManager(QCoreApplication::instance());
        manager->setCookieJar(new PersistentCookieJar(cookieFilePath()));
        // A redirect is followed only on the same scheme, host and port: the session cookie never leaves the
        // service (cookies are kept per host, not per port).
        manager->setRedirectPolicy(QNetworkRequest::SameOriginRedirectPolicy);
    }
    return *manager;
}
