#include "store/Navigator.h"

#include <QJSEngine>
#include <QQmlEngine>

#include <array>

using namespace Qt::StringLiterals;

QString Navigator::route(const RouteState &s)
{
    if (s.results && !(s.detailOverResults && s.detail))
        return u"search"_s;
    if (s.detail)
        return u"detail"_s;
    if (s.detailLoading && !s.detailLeft)
        return u"detailLoading"_s;
    if (s.section == Store::Section::device || s.section == Store::Section::softwareManager)
        return Store::sectionKey(s.section);
    if (s.storeLoading && !s.home)
        return u"loading"_s;
    if (s.storeError && !s.home)
        return u"error"_s;
    if (s.home)
        return Store::sectionKey(s.section);
    return u"waiting"_s;
}

Navigator::Navigator(Store &store)
    : QObject(&store)
    , m_store(store)
{
    connect(&store, &Store::sectionChanged, this, &Navigator::sectionChanged);
    connect(&store, &Store::detailLoadingChanged, this, &Navigator::detailLoadingChanged);
    connect(&store, &Store::detailChanged, this, &Navigator::detailChanged);
    connect(&store, &Store::searchResultsChanged, this, &Navigator::searchResultsChanged);
    connect(&store, &Store::searchErrorChanged, this, &Navigator::searchResultsChanged);
    connect(&store, &Store::searchTextChanged, this, &Navigator::searchTextChanged);
    for (auto changed : std::array{&Store::homeChanged, &Store::loadingChanged, &Store::errorChanged})
        connect(&store, changed, this, &Navigator::updatePage);
    updatePage();
}

Navigator *Navigator::create(QQmlEngine *engine, QJSEngine *js)
{
    Navigator *navigator = &Store::create(engine, js)->navigator();
    QJSEngine::setObjectOwnership(navigator, QJSEngine::CppOwnership);
    return navigator;
}

Navigator::RouteState Navigator::state() const
{
    return {
        // A failed search shows its failure on the results page.
        .results = (m_store.searchResults().has_value() || !m_store.searchError().isEmpty()) &&
            !m_store.searchText().isEmpty(),
        .detailOverResults = m_detailOverResults,
        .detail = m_store.detail().has_value(),
        .detailLoading = m_store.detailLoading(),
        .detailLeft = m_detailLeft,
        .section = m_store.section(),
        .storeLoading = m_store.loading(),
        .storeError = m_store.error().has_value(),
        .home = m_store.home().has_value(),
    };
}

// --- actions ---

void Navigator::showSection(const QString &section)
{
    const auto chosen = Store::sectionFromKey(section);
    if (!chosen)
        return;
    m_store.setSection(*chosen);
    if (*chosen != Store::Section::categories)
        m_store.setSelectedCategory(std::nullopt);
}

void Navigator::showCategory(const QString &slug)
{
    m_store.setSection(Store::Section::categories);
    m_store.setSelectedCategory(slug.isEmpty() ? std::nullopt : std::optional<QString>(slug));
}

void Navigator::openSection(const QString &section)
{
    showSection(section);
    m_store.setDetail(std::nullopt);
}

void Navigator::openApp(const QString &slug)
{
    m_store.openDetail(slug);
}

void Navigator::back()
{
    m_store.setDetail(std::nullopt);
}

void Navigator::editSearch(const QString &text)
{
    m_store.setSearchText(text);
}

void Navigator::search()
{
    m_store.runSearch(m_store.searchText());
}

void Navigator::clearSearch()
{
    m_store.setSearchText(QString());
}

void Navigator::dismissResults()
{
    m_store.setSearchResults(std::nullopt);
}

void Navigator::openLogin()
{
    m_store.setShowLogin(true);
}

void Navigator::closeLogin()
{
    m_store.setShowLogin(false);
}

void Navigator::openCheckout(const QVariant &plan, const QString &payType, const QString &gateway)
{
    m_store.setCheckout(std::nullopt);
    m_store.setShowCheckout(true);
    if (plan.isValid())
        m_store.startCheckout(plan, payType, gateway);
}

void Navigator::closeCheckout()
{
    m_store.setShowCheckout(false);
}

// --- what the route keeps besides the store's values ---

// A section chosen while a detail loads shows at once; the detail that load brings stays behind.
void Navigator::sectionChanged()
{
    if (m_store.detailLoading())
        m_detailLeft = true;
    updatePage();
}

void Navigator::detailLoadingChanged()
{
    if (m_store.detailLoading())
        m_detailLeft = false;
    updatePage();
}

void Navigator::detailChanged()
{
    if (m_store.detail()) {
        if (std::exchange(m_detailLeft, false)) {
            m_store.setDetail(std::nullopt);
            return;
        }
        m_detailOverResults = true;
    }
    updatePage();
}

// Results (or the failure) of a newer search come in front of an open detail.
void Navigator::searchResultsChanged()
{
    if (m_store.searchResults() || !m_store.searchError().isEmpty())
        m_detailOverResults = false;
    updatePage();
}

// Whenever the search text becomes empty, however that happened, no results are shown any more.
void Navigator::searchTextChanged()
{
    if (m_store.searchText().isEmpty())
        m_store.setSearchResults(std::nullopt);
    updatePage();
}

void Navigator::updatePage()
{
    const QString page = route(state());
    if (page == m_page)
        return;
    m_page = page;
    Q_EMIT pageChanged();
}
