#include "software/UpdateCheck.h"

#include "service/Endpoint.h"
#include "service/StoreAPI.h"
#include "service/UserDefaults.h"
#include "software/UpdateMatch.h"

#include <QDateTime>
#include <QPointer>

using namespace Qt::StringLiterals;

namespace {

struct CachedAnswer
{
    qint64 atMs = 0;
    std::optional<StoreApp> app;
};

// Store answers by site address and name; only answers the store gave are kept, never failures.
QHash<QString, CachedAnswer> &cache()
{
    static QHash<QString, CachedAnswer> answers;
    return answers;
}

QString cacheKey(const QString &name)
{
    return Endpoint::base() + u'\n' + name;
}

} // namespace

QString UpdateOffer::sourceKey(Source source)
{
    switch (source) {
    case Source::storeHome:
        return u"store-home"_s;
    case Source::storeSearch:
        return u"store-search"_s;
    case Source::developer:
        return u"developer"_s;
    }
    return {};
}

std::optional<UpdateOffer> UpdateOffer::fromStore(Source source, const StoreApp &store, const QString &installed,
                                                  const ThisMac &mac)
{
    if (!UpdateMatch::isNewer(store.version, installed))
        return std::nullopt;
    return UpdateOffer{source, store.version, store, Compatibility::of(store.minOs, store.arch, mac), {}};
}

UpdateCheck::UpdateCheck(QObject *parent)
    : QObject(parent)
{ }

bool UpdateCheck::developerFeedsAllowed()
{
    return userDefaults()->value(u"developerUpdates"_s, true).toBool();
}

void UpdateCheck::clearCache()
{
    cache().clear();
}

void UpdateCheck::start(const QList<LocalApp> &apps, bool developerFeeds, const ThisMac &mac)
{
    m_runs.drop();
    m_queue = apps;
    m_offers.clear();
    m_mac = mac;
    m_developerFeeds = developerFeeds;
    m_incomplete = false;
    m_done = 0;
    m_total = static_cast<int>(apps.size());
    m_inFlight = 0;
    Q_EMIT progressChanged();
    if (m_total == 0) {
        Q_EMIT finished();
        return;
    }
    launchNext();
}

void UpdateCheck::cancel()
{
    m_runs.drop();
    m_queue.clear();
    m_inFlight = 0;
    if (m_done != m_total) {
        m_done = m_total = 0;
        Q_EMIT progressChanged();
    }
}

void UpdateCheck::launchNext()
{
    while (m_inFlight < parallelRequests && !m_queue.isEmpty()) {
        ++m_inFlight;
        check(m_queue.takeFirst(), m_runs.current());
    }
}

void UpdateCheck::finishOne(NewestReply::Ticket ticket, bool failed)
{
    if (!m_runs.isCurrent(ticket))
        return;
    --m_inFlight;
    ++m_done;
    m_incomplete = m_incomplete || failed;
    Q_EMIT progressChanged();
    if (m_done == m_total)
        Q_EMIT finished();
    else
        launchNext();
}

QCoro::Task<> UpdateCheck::check(LocalApp app, NewestReply::Ticket ticket)
{
    QPointer<UpdateCheck> self(this);
    bool failed = false;
    const std::optional<StoreApp> store = co_await searchStore(app.name(), &failed);
    if (!self || !m_runs.isCurrent(ticket))
        co_return;
    if (store) {
        if (auto offer = UpdateOffer::fromStore(UpdateOffer::Source::storeSearch, *store, app.version(), m_mac)) {
            m_offers.insert(app.id(), std::move(*offer));
            Q_EMIT offerFound(app.id());
        }
        finishOne(ticket, failed);
        co_return;
    }
    if (m_developerFeeds) {
        bool feedFailed = false;
        const auto release = co_await readFeed(app.bundlePath(), &feedFailed);
        if (!self || !m_runs.isCurrent(ticket))
            co_return;
        failed = failed || feedFailed;
        if (release) {
            m_offers.insert(app.id(), {UpdateOffer::Source::developer, release->shownVersion(), {}, {}, release->page});
            Q_EMIT offerFound(app.id());
        }
    }
    finishOne(ticket, failed);
}

QCoro::Task<std::optional<StoreApp>> UpdateCheck::searchStore(QString name, bool *failed)
{
    const QString text = name.trimmed();
    if (text.isEmpty())
        co_return std::nullopt;
    const QString key = cacheKey(name);
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    const auto cached = cache().constFind(key);
    if (cached != cache().cend() && now - cached->atMs < cacheMilliseconds)
        co_return cached->app;

    auto result = co_await StoreAPI::get<SearchResult>(StoreAPI::searchPath(text));
    if (!result.ok()) {
        *failed = true;
        co_return std::nullopt;
    }
    std::optional<StoreApp> found;
    for (const StoreApp &entry : result.value().apps) {
        if (entry.name == name) {
            found = entry;
            break;
        }
    }
    cache().insert(key, {QDateTime::currentMSecsSinceEpoch(), found});
    co_return found;
}

QCoro::Task<std::optional<Appcast::Release>> UpdateCheck::readFeed(QString bundlePath, bool *failed)
{
    const Appcast::Installed installed = Appcast::readInstalled(bundlePath);
    if (installed.feedUrl.isEmpty())
        co_return std::nullopt;
    const ThisMac mac = m_mac;
    const Appcast::Fetched fetched = co_await Appcast::fetch(QUrl(installed.feedUrl));
    if (!fetched.error.isEmpty()) {
        *failed = true;
        co_return std::nullopt;
    }
    const auto release = Appcast::newest(fetched.body, mac);
    if (!release || !Appcast::isNewer(*release, installed))
        co_return std::nullopt;
    co_return release;
}
