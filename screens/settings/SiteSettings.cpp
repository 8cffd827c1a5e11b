#include "screens/settings/SiteSettings.h"

#include "service/Endpoint.h"
#include "service/StoreAPI.h"
#include "service/UserDefaults.h"
#include "store/Navigator.h"
#include "store/Store.h"

#include <QPointer>

#include <QCoro/QCoroTimer>

using namespace Qt::StringLiterals;

SiteSettings::SiteSettings(QObject *parent)
    : QObject(parent)
    , m_address(Endpoint::base())
{
    if (Store *store = Store::instance())
        connect(store, &Store::homeChanged, this, &SiteSettings::accountChanged);
}

QString SiteSettings::sponsorshipText(const StoreMember &member)
{
    if (!member.sponsorActive)
        return u"未生效"_s;
    if (member.forever)
        return u"终身"_s;
    return u"剩余 "_s + QString::number(member.daysLeft) + u" 天"_s;
}

bool SiteSettings::developerUpdates() const
{
    return userDefaults()->value(QStringLiteral("developerUpdates"), true).toBool();
}

void SiteSettings::setDeveloperUpdates(bool on)
{
    if (on == developerUpdates())
        return;
    userDefaults()->setValue(QStringLiteral("developerUpdates"), on);
    Q_EMIT developerUpdatesChanged();
}

void SiteSettings::setAddress(const QString &text)
{
    if (text == m_address)
        return;
    m_address = text;
    Q_EMIT addressChanged();
}

bool SiteSettings::signedIn() const
{
    Store *store = Store::instance();
    return store && store->member();
}

QString SiteSettings::nickname() const
{
    return signedIn() ? Store::instance()->member()->nickname : QString();
}

QString SiteSettings::email() const
{
    return signedIn() ? Store::instance()->member()->email : QString();
}

QString SiteSettings::sponsorship() const
{
    return signedIn() ? sponsorshipText(*Store::instance()->member()) : QString();
}

void SiteSettings::save()
{
    saveTask();
}

QCoro::Task<> SiteSettings::saveTask()
{
    Endpoint::setBase(m_address.trimmed());
    setSaved(true);
    QPointer<SiteSettings> self(this);
    if (QPointer<Store> store = Store::instance())
        co_await store->bootstrapTask();
    if (!self)
        co_return;
    co_await QCoro::sleepFor(confirmationTime);
    if (self)
        self->setSaved(false);
}

void SiteSettings::restoreDefault()
{
    setAddress(Endpoint::defaultBase());
    Endpoint::setBase(Endpoint::defaultBase());
}

void SiteSettings::signOut()
{
    signOutTask();
}

QCoro::Task<> SiteSettings::signOutTask()
{
    co_await StoreAPI::logout();
    if (QPointer<Store> store = Store::instance())
        co_await store->bootstrapTask();
}

void SiteSettings::signIn()
{
    if (Store *store = Store::instance())
        store->navigator().openLogin();
}

void SiteSettings::setSaved(bool saved)
{
    if (saved == m_saved)
        return;
    m_saved = saved;
    Q_EMIT savedChanged();
}
