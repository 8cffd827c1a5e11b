// Downloads: the saved download records (revealed in the file manager) and the cloud-drive links of the app
// whose detail is open.
#include "store/Store.h"

#include "service/Endpoint.h"
#include "service/QmlValue.h"
#include "service/StoreAPI.h"
#include "service/UserDefaults.h"
#include "store/Logging.h"
#include "store/Platform.h"

#include <QPointer>
#include <QScopeGuard>

using namespace Qt::StringLiterals;

// --- download records ---

QHash<QString, InstalledApp> Store::readInstalledRecords()
{
    const QByteArray data = userDefaultsData(userDefaults()->value(u"installedApps"_s));
    if (data.isEmpty())
        return {};
    const auto records = InstalledApp::decodeStored(data);
    if (!records)
        return {};
    QHash<QString, InstalledApp> result;
    for (auto it = records->cbegin(); it != records->cend(); ++it)
        result.insert(it.key(), it.value());
    return result;
}

QStringList Store::downloadingValue() const
{
    QStringList slugs(m_downloading.begin(), m_downloading.end());
    slugs.sort();
    return slugs;
}

QVariantMap Store::installedValue() const
{
    QVariantMap map;
    for (auto it = m_installed.cbegin(); it != m_installed.cend(); ++it)
        map.insert(it.key(), QVariant::fromValue(it.value()));
    return map;
}

void Store::reveal(const QString &slug)
{
    const auto record = m_installed.constFind(slug);
    if (record == m_installed.cend() || !record->location || record->location->isEmpty()) {
        qCWarning(lcStore).noquote() << "no file recorded for" << slug;
        showToast(u"该条目没有本地文件记录"_s);
        return;
    }
    revealFile(*record->location);
}

// --- cloud-drive links ---

QVariantList Store::netdiskLinksValue() const
{
    return QmlValue::list(m_netdiskLinks);
}

void Store::loadNetdisk(const QVariant &app)
{
    if (app.metaType() == QMetaType::fromType<StoreApp>())
        loadNetdiskTask(app.value<StoreApp>());
}

QCoro::Task<> Store::loadNetdiskTask(StoreApp app)
{
    const QString slug = app.slug;
    if (m_netdiskFor == slug)
        co_return;
    QPointer<Store> self(this);
    const NewestReply::Ticket ticket = m_netdiskLoads.begin();
    setNetdiskBusy(true);
    setNetdiskFor(slug);
    // A later load owns the flag; an earlier one finishing must not hide its spinner.
    auto idle = qScopeGuard([self, ticket] {
        if (self && self->m_netdiskLoads.isCurrent(ticket))
            self->setNetdiskBusy(false);
    });

    auto result = co_await StoreAPI::netdisk(slug);
    if (!self)
        co_return;
    // The page has moved on to another app (or a newer load of this one): these links are not for it.
    if (!m_netdiskLoads.isCurrent(ticket) || m_netdiskFor != slug)
        co_return;
    if (result.ok()) {
        setNetdiskLinks(std::move(result).take().links);
    } else {
        setNetdiskLinks({});
        qCWarning(lcStore).noquote() << "links of" << slug << "not loaded:" << result.error();
        showToast(result.error().userMessage(u"获取网盘链接失败"_s));
    }
}

void Store::openNetdisk(const QVariant &link)
{
    if (link.metaType() == QMetaType::fromType<NetdiskLink>())
        openNetdisk(link.value<NetdiskLink>());
}

void Store::openNetdisk(const NetdiskLink &link)
{
    if (link.hasCode()) {
        Platform::instance().setClipboardText(link.code);
        showToast(u"提取码 "_s + link.code + u" 已复制，即将打开"_s + link.providerName());
    } else {
        showToast(u"即将打开"_s + link.providerName());
    }
    // Only web addresses go to the browser: a link from the service must not launch local files or other apps.
    const auto url = Endpoint::parse(link.url);
    const QString scheme = url ? url->scheme().toLower() : QString();
    if (!url || (scheme != u"http"_s && scheme != u"https"_s)) {
        qCWarning(lcStore) << "link of" << link.provider << "refused: not a web address";
        showToast(u"网盘地址无效"_s);
        return;
    }
    openLink(*url, link.hasCode() ? url->toString() + u" 提取码 "_s + link.code : QString());
    recordFetch();
}

void Store::recordFetch()
{
    // The links on show belong to the open detail page's app when netdiskFor names it.
    if (!m_detail || !m_netdiskFor || m_detail->app.slug != *m_netdiskFor)
        return;
    const StoreApp &app = m_detail->app;
    QHash<QString, InstalledApp> records = m_installed;
    InstalledApp record{app.slug, app.name, app.version, app.size, QDateTime::currentDateTimeUtc(), std::nullopt};
    // A re-download keeps where the earlier one was found.
    if (const auto earlier = m_installed.constFind(app.slug); earlier != m_installed.cend())
        record.location = earlier->location;
    records.insert(app.slug, record);
    saveInstalled(std::move(records));
}

void Store::recordLocations(const QVariantMap &pathsByName)
{
    QHash<QString, InstalledApp> records = m_installed;
    bool changed = false;
    for (InstalledApp &record : records) {
        const QString path = pathsByName.value(record.name).toString();
        if (!path.isEmpty() && record.location != path) {
            record.location = path;
            changed = true;
        }
    }
    if (changed)
        saveInstalled(std::move(records));
}

void Store::saveInstalled(QHash<QString, InstalledApp> records)
{
    QMap<QString, InstalledApp> stored;
    for (auto it = records.cbegin(); it != records.cend(); ++it)
        stored.insert(it.key(), it.value());
    userDefaults()->setValue(u"installedApps"_s, InstalledApp::encodeStored(stored));
    setInstalled(std::move(records));
}
