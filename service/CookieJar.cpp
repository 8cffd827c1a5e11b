#include "service/CookieJar.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkCookie>
#include <QSaveFile>
#include <QScopedValueRollback>

using namespace Qt::StringLiterals;

namespace {

bool keptAcrossRestarts(const QNetworkCookie &cookie, const QDateTime &now)
{
    return !cookie.isSessionCookie() && cookie.expirationDate() > now;
}

} // namespace

PersistentCookieJar::PersistentCookieJar(QString filePath, QObject *parent)
    : QNetworkCookieJar(parent)
    , m_filePath(std::move(filePath))
{
    load();
}

// Each entry keeps the raw Set-Cookie form plus the domain as stored, because parsing the raw form
// again would widen a host-only cookie to a domain cookie.
void PersistentCookieJar::load()
{
    QFile file(m_filePath);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QJsonArray entries = QJsonDocument::fromJson(file.readAll()).array();
    const QDateTime now = QDateTime::currentDateTimeUtc();
    QList<QNetworkCookie> cookies;
    for (const QJsonValue &entry : entries) {
        const QJsonObject object = entry.toObject();
        const auto parsed = QNetworkCookie::parseCookies(object.value("raw"_L1).toString().toUtf8());
        if (parsed.size() != 1)
            continue;
        QNetworkCookie cookie = parsed.first();
        cookie.setDomain(object.value("domain"_L1).toString());
        if (keptAcrossRestarts(cookie, now))
            cookies.append(cookie);
    }
    setAllCookies(cookies);
}

void PersistentCookieJar::save() const
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    QJsonArray entries;
    for (const QNetworkCookie &cookie : allCookies()) {
        if (!keptAcrossRestarts(cookie, now))
            continue;
        entries.append(QJsonObject{{u"raw"_s, QString::fromUtf8(cookie.toRawForm(QNetworkCookie::Full))},
                                   {u"domain"_s, cookie.domain()}});
    }
    QDir().mkpath(QFileInfo(m_filePath).absolutePath());
    QSaveFile file(m_filePath);
    if (!file.open(QIODevice::WriteOnly))
        return;
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    file.write(QJsonDocument(entries).toJson(QJsonDocument::Compact));
    file.commit();
}

void PersistentCookieJar::changed(bool didChange)
{
    if (!didChange)
        return;
    m_dirty = true;
    if (!m_batch) {
        save();
        m_dirty = false;
    }
}

// One reply may set several cookies: write the file once for all of them.
bool PersistentCookieJar::setCookiesFromUrl(const QList<QNetworkCookie> &cookies, const QUrl &url)
{
    bool set = false;
    {
        QScopedValueRollback batch(m_batch, true);
        set = QNetworkCookieJar::setCookiesFromUrl(cookies, url);
    }
    changed(std::exchange(m_dirty, false));
    return set;
}

bool PersistentCookieJar::insertCookie(const QNetworkCookie &cookie)
{
    const bool didChange = QNetworkCookieJar::insertCookie(cookie);
    changed(didChange);
    return didChange;
}

bool PersistentCookieJar::updateCookie(const QNetworkCookie &cookie)
{
    const bool didChange = QNetworkCookieJar::updateCookie(cookie);
    changed(didChange);
    return didChange;
}

bool PersistentCookieJar::deleteCookie(const QNetworkCookie &cookie)
{
    const bool didChange = QNetworkCookieJar::deleteCookie(cookie);
    changed(didChange);
    return didChange;
}
