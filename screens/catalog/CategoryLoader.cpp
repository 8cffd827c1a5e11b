#include "screens/catalog/CategoryLoader.h"

#include "screens/components/Logging.h"
#include "service/CatalogRecords.h"
#include "service/StoreAPI.h"

#include <QPointer>
#include <QCoroTask>

CategoryLoader::CategoryLoader(QObject *parent)
    : QObject(parent)
{ }

void CategoryLoader::setCategory(const QString &slug)
{
    if (slug == m_category)
        return;
    m_category = slug;
    Q_EMIT categoryChanged();
    if (m_complete)
        reload();
}

void CategoryLoader::componentComplete()
{
    m_complete = true;
    reload();
}

void CategoryLoader::reload()
{
    loadTask();
}

QCoro::Task<void> CategoryLoader::loadTask()
{
    const NewestReply::Ticket ticket = m_loads.begin();
    setFailed(false);
    if (m_category.isEmpty()) {
        setApps({});
        setLoading(false);
        co_return;
    }
    setLoading(true);
    QPointer<CategoryLoader> self(this);
    auto result = co_await StoreAPI::get<AppListPage>(StoreAPI::categoryPath(m_category));
    if (!self || !m_loads.isCurrent(ticket))
        co_return; // superseded by a newer load, or the page is gone
    QVariantList apps;
    if (result.ok()) {
        for (const StoreApp &app : result.value().apps)
            apps.append(QVariant::fromValue(app));
    } else {
        qCWarning(lcScreens).noquote() << "category" << m_category << "not loaded:" << result.error();
    }
    setApps(apps);
    setFailed(!result.ok());
    setLoading(false);
}

void CategoryLoader::setApps(const QVariantList &apps)
{
    if (apps == m_apps)
        return;
    m_apps = apps;
    Q_EMIT appsChanged();
}

void CategoryLoader::setFailed(bool failed)
{
    if (failed == m_failed)
        return;
    m_failed = failed;
    Q_EMIT failedChanged();
}

void CategoryLoader::setLoading(bool loading)
{
    if (loading == m_loading)
        return;
    m_loading = loading;
    Q_EMIT loadingChanged();
}
