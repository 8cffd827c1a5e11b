#include "menubar/QuickSearch.h"

#include "menubar/Logging.h"
#include "service/StoreAPI.h"
#include "store/Navigator.h"
#include "store/Store.h"

#include <QPointer>

using namespace Qt::StringLiterals;

int AppRowsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_apps.size());
}

QVariant AppRowsModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const StoreApp &app = m_apps.at(index.row());
    switch (role) {
    case SlugRole:
        return app.slug;
    case Qt::DisplayRole:
    case NameRole:
        return app.name;
    case TaglineRole:
        return app.tagline;
    case GlyphRole:
        return app.glyph;
    case AccentRole:
        return app.accent;
    case Accent2Role:
        return app.accent2;
    }
    return {};
}

QHash<int, QByteArray> AppRowsModel::roleNames() const
{
    return {{SlugRole, "slug"},   {NameRole, "name"},     {TaglineRole, "tagline"},
            {GlyphRole, "glyph"}, {AccentRole, "accent"}, {Accent2Role, "accent2"}};
}

void AppRowsModel::setApps(QList<StoreApp> apps)
{
    if (apps == m_apps)
        return;
    beginResetModel();
    m_apps = std::move(apps);
    endResetModel();
}

QuickSearch::QuickSearch(QObject *parent)
    : QObject(parent)
{
    if (Store *store = Store::instance()) {
        connect(store, &Store::homeChanged, this, &QuickSearch::memberChanged);
        connect(store, &Store::homeChanged, this, &QuickSearch::updateRows);
    }
    updateRows();
}

QString QuickSearch::memberStatusText(const StoreMember &member)
{
    if (member.forever)
        return u"终身"_s;
    if (member.sponsorActive)
        return QString::number(member.daysLeft) + u" 天"_s;
    return u"未赞助"_s;
}

void QuickSearch::setQuery(const QString &text)
{
    if (text == m_query)
        return;
    m_query = text;
    Q_EMIT queryChanged();
    updateRows();
}

QString QuickSearch::area() const
{
    return m_area;
}

bool QuickSearch::memberShown() const
{
    Store *store = Store::instance();
    return store && store->member();
}

QString QuickSearch::memberStatus() const
{
    return memberShown() ? memberStatusText(*Store::instance()->member()) : QString();
}

bool QuickSearch::sponsorActive() const
{
    return memberShown() && Store::instance()->member()->sponsorActive;
}

void QuickSearch::submit()
{
    searchTask();
}

QCoro::Task<> QuickSearch::searchTask()
{
    const QString q = m_query.trimmed();
    if (q.isEmpty()) {
        m_searches.drop();
        setSearching(false);
        setHits({});
        co_return;
    }
    QPointer<QuickSearch> self(this);
    const NewestReply::Ticket ticket = m_searches.begin();
    setSearching(true);
    // The newest submission owns the hits and the spinner: an older reply that arrives later is dropped.
    auto result = co_await StoreAPI::get<SearchResult>(StoreAPI::searchPath(q));
    if (!self || !m_searches.isCurrent(ticket))
        co_return;
    if (result.ok())
        setHits(std::move(result).take().apps);
    else
        qCWarning(lcMenubar) << "quick search not answered:" << result.error();
    setSearching(false);
}

void QuickSearch::openStore(const QString &section, const QString &slug)
{
    Store *store = Store::instance();
    if (!store)
        return;
    store->navigator().openSection(section);
    if (!slug.isEmpty())
        store->navigator().openApp(slug);
    Q_EMIT storeWindowRequested();
}

void QuickSearch::shown()
{
    Store *store = Store::instance();
    if (store && !store->home())
        store->bootstrap();
}

void QuickSearch::setSearching(bool searching)
{
    if (searching == m_searching)
        return;
    m_searching = searching;
    Q_EMIT searchingChanged();
}

void QuickSearch::setHits(QList<StoreApp> hits)
{
    m_hits = std::move(hits);
    updateRows();
}

void QuickSearch::updateRows()
{
    QString area;
    if (m_query.isEmpty()) {
        area = u"latest"_s;
        Store *store = Store::instance();
        const QList<StoreApp> latest = store && store->home() ? store->home()->latest : QList<StoreApp>();
        m_rows.setApps(latest.first(std::min<qsizetype>(latestCount, latest.size())));
    } else if (m_hits.isEmpty()) {
        area = u"notFound"_s;
        m_rows.setApps({});
    } else {
        area = u"hits"_s;
        m_rows.setApps(m_hits);
    }
    if (area != m_area) {
        m_area = area;
        Q_EMIT areaChanged();
    }
}
