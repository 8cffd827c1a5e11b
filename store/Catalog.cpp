// Catalogue: the home payload (with its loading and error state), the selected category, search and the app
// detail. Each action turns every failure into a property or a toast, resets its busy flag on every path, and
// checks after each suspension that the Store still exists.
#include "store/Store.h"

#include "service/Endpoint.h"
#include "service/QmlValue.h"
#include "service/StoreAPI.h"
#include "store/HomeCache.h"
#include "store/Logging.h"

#include <QPointer>
#include <QScopeGuard>

using namespace Qt::StringLiterals;

// --- home ---

QVariant Store::homeValue() const
{
    return QmlValue::of(m_home);
}

void Store::setHomeValue(const QVariant &value)
{
    if (auto home = QmlValue::record<StoreHome>(value))
        setHome(std::move(*home));
}

void Store::bootstrap()
{
    bootstrapTask();
}

// The first load of a run shows the page kept from the last visit at once; a reply that decodes replaces it and is
// kept for the next start.
QCoro::Task<> Store::bootstrapTask()
{
    QPointer<Store> self(this);
    const NewestReply::Ticket ticket = m_homeLoads.begin();
    const QString site = Endpoint::base();
    if (!m_home && !std::exchange(m_keptHomeRead, true)) {
        if (auto kept = HomeCache::load(site)) {
            setHome(std::move(kept));
            setHomeFromLastVisit(true);
        }
    }
    setLoading(true);
    setError(std::nullopt);
    auto idle = qScopeGuard([self, ticket] {
        if (self && self->m_homeLoads.isCurrent(ticket))
            self->setLoading(false);
    });

    auto raw = co_await Transport::send(Transport::Method::get, StoreAPI::homePath(), std::nullopt);
    if (!self || !m_homeLoads.isCurrent(ticket))
        co_return;
    if (!raw.ok()) {
        qCWarning(lcStore) << "home not loaded:" << raw.error();
        setError(raw.error().reason());
        co_return;
    }
    const QByteArray body = std::move(raw).take();
    auto result = co_await StoreAPI::decode<StoreHome>(body);
    if (!self || !m_homeLoads.isCurrent(ticket))
        co_return;
    if (!result.ok()) {
        qCWarning(lcStore) << "home not loaded:" << result.error();
        setError(result.error().reason());
        co_return;
    }
    setHome(std::move(result).take());
    setHomeFromLastVisit(false);
    HomeCache::save(site, body);
}

// --- search ---
// A failed search keeps its reason until a search succeeds or an empty one clears it, so the results page
// stays on its failure (and its retry) while the retry runs.

QVariant Store::searchResultsValue() const
{
    return QmlValue::of(m_searchResults);
}

void Store::runSearch(const QString &text)
{
    runSearchTask(text);
}

QCoro::Task<> Store::runSearchTask(QString text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) {
        m_searches.drop();
        setSearchBusy(false);
        setSearchResults(std::nullopt);
        setSearchError({});
        co_return;
    }
    QPointer<Store> self(this);
    const NewestReply::Ticket ticket = m_searches.begin();
    setSearchBusy(true);
    auto idle = qScopeGuard([self, ticket] {
        if (self && self->m_searches.isCurrent(ticket))
            self->setSearchBusy(false);
    });

    auto result = co_await StoreAPI::get<SearchResult>(StoreAPI::searchPath(trimmed));
    if (!self || !m_searches.isCurrent(ticket))
        co_return;
    if (result.ok()) {
        setSearchError({});
        setSearchResults(std::move(result).take());
    } else {
        qCWarning(lcStore) << "search not answered:" << result.error();
        setSearchResults(std::nullopt);
        setSearchError(result.error().reason());
    }
}

// --- app detail ---

QVariant Store::detailValue() const
{
    return QmlValue::of(m_detail);
}

void Store::openDetail(const QString &slug)
{
    openDetailTask(slug);
}

// Clears the app shown before (and its links), loads the new one, then its cloud-drive links.
QCoro::Task<> Store::openDetailTask(QString slug)
{
    QPointer<Store> self(this);
    const NewestReply::Ticket ticket = m_detailLoads.begin();
    setDetailLoading(true);
    setDetail(std::nullopt);
    setNetdiskLinks({});
    setNetdiskFor(std::nullopt);
    auto idle = qScopeGuard([self, ticket] {
        if (self && self->m_detailLoads.isCurrent(ticket))
            self->setDetailLoading(false);
    });

    auto result = co_await StoreAPI::get<StoreDetail>(StoreAPI::detailPath(slug));
    if (!self || !m_detailLoads.isCurrent(ticket))
        co_return;
    if (!result.ok()) {
        qCWarning(lcStore).noquote() << "app" << slug << "not loaded:" << result.error();
        showToast(result.error().userMessage(u"无法加载应用详情"_s));
        co_return;
    }
    StoreDetail detail = std::move(result).take();
    const StoreApp app = detail.app;
    setDetail(std::move(detail));
    co_await loadNetdiskTask(app);
}
