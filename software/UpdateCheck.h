#pragma once

#include "service/CatalogRecords.h"
#include "software/Appcast.h"
#include "software/Compatibility.h"
#include "software/LocalApp.h"
#include "software/ThisMac.h"
#include "store/NewestReply.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

#include <optional>

// A newer version of an installed application and where it comes from.
struct UpdateOffer
{
    enum class Source { storeHome, storeSearch, developer };

    Source source = Source::storeHome;
    QString version; // as shown: "有新版 v" + version
    StoreApp storeApp; // the store entry (store sources)
    Compatibility compatibility; // whether this Mac can run it (store sources; developer feeds are filtered)
    QUrl page; // the developer's release notes or download page (developer source; may be empty)

    // "store-home", "store-search" or "developer".
    [[nodiscard]] static QString sourceKey(Source source);
    // The offer of a store entry found for an application whose version is `installed`, with whether `mac` can
    // run it; none when the entry is not newer.
    [[nodiscard]] static std::optional<UpdateOffer> fromStore(Source source, const StoreApp &store,
                                                              const QString &installed, const ThisMac &mac);
};

// Looks up, off the home page, the applications the home lists did not name: first the store's search by
// exact name, a few requests at a time, each answer kept for an hour; then, for the ones the store does not
// have, the developer's own update feed (SUFeedURL) when that is allowed. Never blocks: results arrive one by
// one, and a failed lookup only leaves its application unmarked and the check incomplete.
class UpdateCheck : public QObject
{
    Q_OBJECT

public:
    static constexpr int parallelRequests = 3;
    static constexpr qint64 cacheMilliseconds = 60 * 60 * 1000;

    explicit UpdateCheck(QObject *parent = nullptr);

    // Starts checking these applications (dropping a check still running); developerFeeds allows the feeds.
    void start(const QList<LocalApp> &apps, bool developerFeeds, const ThisMac &mac = ThisMac::current());
    void cancel();

    [[nodiscard]] bool running() const { return m_done < m_total; }
    [[nodiscard]] int done() const { return m_done; }
    [[nodiscard]] int total() const { return m_total; }
    [[nodiscard]] bool incomplete() const { return m_incomplete; }
    // The newer versions found so far, by application id.
    [[nodiscard]] const QHash<QString, UpdateOffer> &offers() const { return m_offers; }

    // The user's setting "developerUpdates" (on unless turned off in the settings window).
    [[nodiscard]] static bool developerFeedsAllowed();
    // Forgets every cached store answer.
    static void clearCache();

Q_SIGNALS:
    void offerFound(const QString &appId);
    void progressChanged();
    void finished();

private:
    QCoro::Task<> check(LocalApp app, NewestReply::Ticket ticket);
    QCoro::Task<std::optional<StoreApp>> searchStore(QString name, bool *failed);
    QCoro::Task<std::optional<Appcast::Release>> readFeed(QString bundlePath, bool *failed);
    void launchNext();
    void finishOne(NewestReply::Ticket ticket, bool failed);

    QList<LocalApp> m_queue;
    QHash<QString, UpdateOffer> m_offers;
    ThisMac m_mac;
    bool m_developerFeeds = false;
    bool m_incomplete = false;
    int m_done = 0;
    int m_total = 0;
    int m_inFlight = 0;
    NewestReply m_runs; // a restart or a cancel makes the answers of the run before stale
};
