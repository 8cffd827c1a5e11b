#pragma once
// The one observable state object of the app: every screen reads its properties and calls its actions, and the
// actions are the only code that talks to the store service on the screens' behalf.
//
// The class is declared here in one block per feature; each block's code lives in the file it names:
//   Navigation   store/Navigation.cpp   section, toast, opening site pages (store/Navigator.h changes the section)
//   Catalogue    store/Catalog.cpp      home payload, selected category, search, app detail
//   Downloads    store/Downloads.cpp    download records, cloud-drive links
//   Checkout     store/Checkout.cpp     member, sign-in sheet, checkout sheet, orders, payment polling
//   Wallpapers   store/Wallpapers.cpp   saving wallpapers to the Pictures folder
// One-line setters sit in the block itself: each stores a value and emits its signal only when it changed.
#include "service/ApiResult.h"
#include "service/CatalogRecords.h"
#include "service/CommerceRecords.h"
#include "store/NewestReply.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QVariant>
#include <QtQmlIntegration>
#include <concepts>
#include <optional>
#include <utility>

#include <QCoro/QCoroTask>

class FetchCanceller;
class Navigator;
class QJSEngine;
class QQmlEngine;

class Store : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    // Reads the saved download records; requests nothing. Deliberately not default-constructible: Qt 6.4's
    // QML would otherwise build a second Store for the singleton instead of calling create().
    explicit Store(QObject *parent);
    ~Store() override;

    [[nodiscard]] static Store *instance();
    // The app creates the one Store and installs it here before QML first asks for it.
    static void setInstance(Store *store);
    // The QML singleton: the installed Store (one is made on first use when none was installed).
    static Store *create(QQmlEngine *, QJSEngine *);

    // The one writer of the window's navigation state for screens, links and the menu bar panel.
    [[nodiscard]] Navigator &navigator() { return *m_navigator; }

private:
    // Stores value in member and emits changed when it differs; records without equality always count as changed.
    template <typename T, typename V> void update(T &member, V &&value, void (Store::*changed)())
    {
        if constexpr (std::equality_comparable<T>) {
            if (member == value)
                return;
        }
        member = std::forward<V>(value);
        Q_EMIT(this->*changed)();
    }

    // ===== Navigation: store/Navigation.cpp ==========================================================================
    Q_PROPERTY(QString section READ sectionName NOTIFY sectionChanged)
    Q_PROPERTY(QString toast READ toastText NOTIFY toastChanged)

public:
    enum class Section { discover, device, softwareManager, top, latest, categories, wallpapers, member, installed };
    Q_ENUM(Section)

    static constexpr int toastMilliseconds = 3200;

    [[nodiscard]] static QString sectionKey(Section section);
    [[nodiscard]] static std::optional<Section> sectionFromKey(const QString &key);

    [[nodiscard]] Section section() const { return m_section; }
    [[nodiscard]] const std::optional<QString> &toast() const { return m_toast; }
    void setSection(Section section) { update(m_section, section, &Store::sectionChanged); }

    // Shows a transient message for 3.2 s; a newer one replaces it at once and gets its own 3.2 s.
    Q_INVOKABLE void showToast(const QString &text);
    Q_INVOKABLE void openOnWeb(const QString &path);
    // Opens an address in the browser; without one, copies `copied` (the address when empty) and says so.
    void openLink(const QUrl &url, const QString &copied = {});
    // Shows a file in the file manager; without one, copies its path and says so after `done` (what went before).
    Q_INVOKABLE void revealFile(const QString &path, const QString &done = {});

Q_SIGNALS:
    void sectionChanged();
    void toastChanged();

private:
    [[nodiscard]] QString sectionName() const { return sectionKey(m_section); }
    [[nodiscard]] QString toastText() const { return m_toast.value_or(QString()); }
    void clearToast();

    Section m_section = Section::discover;
    std::optional<QString> m_toast;
    // Clears the toast; restarted by every new toast, so an older message's time never clears a newer one.
    QTimer m_toastTimer;

    // ===== Catalogue: store/Catalog.cpp ==============================================================================
    Q_PROPERTY(QVariant home READ homeValue WRITE setHomeValue NOTIFY homeChanged)
    Q_PROPERTY(bool loading READ loading NOTIFY loadingChanged)
    // Whether `home` is the page kept from the last visit: shown at once on start, until the service answers.
    Q_PROPERTY(bool homeFromLastVisit READ homeFromLastVisit NOTIFY homeFromLastVisitChanged)
    Q_PROPERTY(QString error READ errorText NOTIFY errorChanged)
    Q_PROPERTY(QString selectedCategory READ selectedCategoryText NOTIFY selectedCategoryChanged)
    Q_PROPERTY(QString searchText READ searchText NOTIFY searchTextChanged)
    Q_PROPERTY(QVariant searchResults READ searchResultsValue NOTIFY searchResultsChanged)
    Q_PROPERTY(bool searchBusy READ searchBusy NOTIFY searchBusyChanged)
    // Why the last search failed; empty while it did not.
    Q_PROPERTY(QString searchError READ searchError NOTIFY searchErrorChanged)
    Q_PROPERTY(QVariant detail READ detailValue NOTIFY detailChanged)
    Q_PROPERTY(bool detailLoading READ detailLoading NOTIFY detailLoadingChanged)

public:
    [[nodiscard]] const std::optional<StoreHome> &home() const { return m_home; }
    [[nodiscard]] bool loading() const { return m_loading; }
    [[nodiscard]] bool homeFromLastVisit() const { return m_homeFromLastVisit; }
    [[nodiscard]] const std::optional<QString> &error() const { return m_error; }
    [[nodiscard]] const std::optional<QString> &selectedCategory() const { return m_selectedCategory; }
    [[nodiscard]] QString searchText() const { return m_searchText; }
    [[nodiscard]] const std::optional<SearchResult> &searchResults() const { return m_searchResults; }
    [[nodiscard]] bool searchBusy() const { return m_searchBusy; }
    [[nodiscard]] QString searchError() const { return m_searchError; }
    [[nodiscard]] const std::optional<StoreDetail> &detail() const { return m_detail; }
    [[nodiscard]] bool detailLoading() const { return m_detailLoading; }

    void setHome(std::optional<StoreHome> home) { update(m_home, std::move(home), &Store::homeChanged); }
    void setLoading(bool loading) { update(m_loading, loading, &Store::loadingChanged); }
    void setHomeFromLastVisit(bool kept) { update(m_homeFromLastVisit, kept, &Store::homeFromLastVisitChanged); }
    void setError(std::optional<QString> error) { update(m_error, std::move(error), &Store::errorChanged); }
    void setSelectedCategory(std::optional<QString> slug)
    {
        update(m_selectedCategory, std::move(slug), &Store::selectedCategoryChanged);
    }
    // An emptied search field also forgets why the last search failed.
    void setSearchText(const QString &text)
    {
        update(m_searchText, text, &Store::searchTextChanged);
        if (text.isEmpty())
            setSearchError({});
    }
    void setSearchResults(std::optional<SearchResult> results)
    {
        update(m_searchResults, std::move(results), &Store::searchResultsChanged);
    }
    void setSearchBusy(bool busy) { update(m_searchBusy, busy, &Store::searchBusyChanged); }
    void setSearchError(const QString &reason) { update(m_searchError, reason, &Store::searchErrorChanged); }
    void setDetail(std::optional<StoreDetail> detail) { update(m_detail, std::move(detail), &Store::detailChanged); }
    void setDetailLoading(bool loading) { update(m_detailLoading, loading, &Store::detailLoadingChanged); }

    QCoro::Task<> bootstrapTask();
    QCoro::Task<> runSearchTask(QString text);
    QCoro::Task<> openDetailTask(QString slug);
    Q_INVOKABLE void bootstrap();
    Q_INVOKABLE void runSearch(const QString &text);
    Q_INVOKABLE void openDetail(const QString &slug);

Q_SIGNALS:
    void homeChanged();
    void loadingChanged();
    void homeFromLastVisitChanged();
    void errorChanged();
    void selectedCategoryChanged();
    void searchTextChanged();
    void searchResultsChanged();
    void searchBusyChanged();
    void searchErrorChanged();
    void detailChanged();
    void detailLoadingChanged();

private:
    [[nodiscard]] QVariant homeValue() const;
    void setHomeValue(const QVariant &value);
    [[nodiscard]] QString errorText() const { return m_error.value_or(QString()); }
    [[nodiscard]] QString selectedCategoryText() const { return m_selectedCategory.value_or(QString()); }
    [[nodiscard]] QVariant searchResultsValue() const;
    [[nodiscard]] QVariant detailValue() const;

    std::optional<StoreHome> m_home;
    bool m_loading = false;
    bool m_homeFromLastVisit = false;
    bool m_keptHomeRead = false; // the kept page is read once, by the first load of the run
    std::optional<QString> m_error;
    std::optional<QString> m_selectedCategory;
    QString m_searchText;
    std::optional<SearchResult> m_searchResults;
    bool m_searchBusy = false;
    QString m_searchError;
    std::optional<StoreDetail> m_detail;
    bool m_detailLoading = false;
    // A newer load makes an older reply stale: it neither replaces newer data nor ends the busy state.
    NewestReply m_homeLoads;
    NewestReply m_searches;
    NewestReply m_detailLoads;

    // ===== Downloads: store/Downloads.cpp ============================================================================
    Q_PROPERTY(QStringList downloading READ downloadingValue NOTIFY downloadingChanged)
    Q_PROPERTY(QVariantMap installed READ installedValue NOTIFY installedChanged)
    Q_PROPERTY(QVariantList netdiskLinks READ netdiskLinksValue NOTIFY netdiskLinksChanged)
    Q_PROPERTY(QString netdiskFor READ netdiskForText NOTIFY netdiskForChanged)
    Q_PROPERTY(bool netdiskBusy READ netdiskBusy NOTIFY netdiskBusyChanged)

public:
    [[nodiscard]] const QSet<QString> &downloading() const { return m_downloading; }
    [[nodiscard]] const QHash<QString, InstalledApp> &installed() const { return m_installed; }
    [[nodiscard]] const QList<NetdiskLink> &netdiskLinks() const { return m_netdiskLinks; }
    [[nodiscard]] const std::optional<QString> &netdiskFor() const { return m_netdiskFor; }
    [[nodiscard]] bool netdiskBusy() const { return m_netdiskBusy; }

    void setDownloading(QSet<QString> slugs) { update(m_downloading, std::move(slugs), &Store::downloadingChanged); }
    void setInstalled(QHash<QString, InstalledApp> records)
    {
        update(m_installed, std::move(records), &Store::installedChanged);
    }
    void setNetdiskLinks(QList<NetdiskLink> links)
    {
        update(m_netdiskLinks, std::move(links), &Store::netdiskLinksChanged);
    }
    void setNetdiskFor(std::optional<QString> slug)
    {
        update(m_netdiskFor, std::move(slug), &Store::netdiskForChanged);
    }
    void setNetdiskBusy(bool busy) { update(m_netdiskBusy, busy, &Store::netdiskBusyChanged); }

    QCoro::Task<> loadNetdiskTask(StoreApp app);
    Q_INVOKABLE void loadNetdisk(const QVariant &app);
    Q_INVOKABLE void openNetdisk(const QVariant &link);
    void openNetdisk(const NetdiskLink &link);
    Q_INVOKABLE void reveal(const QString &slug);
    // Gives the download records whose app name appears here the bundle path found for it (a scan's result).
    Q_INVOKABLE void recordLocations(const QVariantMap &pathsByName);

Q_SIGNALS:
    void downloadingChanged();
    void installedChanged();
    void netdiskLinksChanged();
    void netdiskForChanged();
    void netdiskBusyChanged();

private:
    [[nodiscard]] QStringList downloadingValue() const;
    [[nodiscard]] QVariantMap installedValue() const;
    [[nodiscard]] QVariantList netdiskLinksValue() const;
    [[nodiscard]] QString netdiskForText() const { return m_netdiskFor.value_or(QString()); }
    // The download records saved under "installedApps"; empty when missing or when any record is unreadable.
    [[nodiscard]] static QHash<QString, InstalledApp> readInstalledRecords();
    // Records the open detail page's app as fetched now (after one of its links was opened).
    void recordFetch();
    // Publishes the records and saves them under "installedApps".
    void saveInstalled(QHash<QString, InstalledApp> records);

    QSet<QString> m_downloading;
    QHash<QString, InstalledApp> m_installed;
    QList<NetdiskLink> m_netdiskLinks;
    std::optional<QString> m_netdiskFor;
    bool m_netdiskBusy = false;
    // Only the latest link load may reset netdiskBusy.
    NewestReply m_netdiskLoads;

    // ===== Checkout: store/Checkout.cpp ==============================================================================
    Q_PROPERTY(QVariant member READ memberValue NOTIFY homeChanged)
    Q_PROPERTY(bool billingOn READ billingOn NOTIFY homeChanged)
    Q_PROPERTY(bool showLogin READ showLogin NOTIFY showLoginChanged)
    Q_PROPERTY(bool showCheckout READ showCheckout NOTIFY showCheckoutChanged)
    Q_PROPERTY(QVariant checkout READ checkoutValue NOTIFY checkoutChanged)
    Q_PROPERTY(bool checkoutBusy READ checkoutBusy NOTIFY checkoutBusyChanged)
    Q_PROPERTY(QString checkoutError READ checkoutErrorText WRITE setCheckoutErrorText NOTIFY checkoutErrorChanged)
    Q_PROPERTY(QVariantList orders READ ordersValue NOTIFY ordersChanged)

public:
    // The member of the loaded home payload; absent before the first load and when signed out.
    [[nodiscard]] std::optional<StoreMember> member() const;
    // Whether paid sponsorship is offered: only an explicit false from the service turns it off.
    [[nodiscard]] bool billingOn() const;
    [[nodiscard]] bool showLogin() const { return m_showLogin; }
    [[nodiscard]] bool showCheckout() const { return m_showCheckout; }
    [[nodiscard]] const std::optional<CheckoutPayload> &checkout() const { return m_checkout; }
    [[nodiscard]] bool checkoutBusy() const { return m_checkoutBusy; }
    [[nodiscard]] const std::optional<QString> &checkoutError() const { return m_checkoutError; }
    [[nodiscard]] const QList<OrderSummary> &orders() const { return m_orders; }

    void setShowLogin(bool show) { update(m_showLogin, show, &Store::showLoginChanged); }
    void setShowCheckout(bool show) { update(m_showCheckout, show, &Store::showCheckoutChanged); }
    void setCheckout(std::optional<CheckoutPayload> checkout)
    {
        update(m_checkout, std::move(checkout), &Store::checkoutChanged);
    }
    void setCheckoutBusy(bool busy) { update(m_checkoutBusy, busy, &Store::checkoutBusyChanged); }
    void setCheckoutError(std::optional<QString> error)
    {
        update(m_checkoutError, std::move(error), &Store::checkoutErrorChanged);
    }
    void setOrders(QList<OrderSummary> orders) { update(m_orders, std::move(orders), &Store::ordersChanged); }

    QCoro::Task<> startCheckoutTask(StorePlan plan, PayType payType = PayType::wechat,
                                    QString gateway = QStringLiteral("hubijiao"));
    QCoro::Task<> startCheckoutTask(int planId, PayType payType, QString gateway);
    QCoro::Task<> pollCheckoutTask();
    QCoro::Task<> mockPayTask();
    QCoro::Task<> loadAccountTask();
    // plan: a StorePlan or its id; payType: the key of a PayType.
    Q_INVOKABLE void startCheckout(const QVariant &plan, const QString &payType = payTypeKey(PayType::wechat),
                                   const QString &gateway = QStringLiteral("hubijiao"));
    Q_INVOKABLE void pollCheckout();
    Q_INVOKABLE void mockPay();
    Q_INVOKABLE void loadAccount();

Q_SIGNALS:
    void showLoginChanged();
    void showCheckoutChanged();
    void checkoutChanged();
    void checkoutBusyChanged();
    void checkoutErrorChanged();
    void ordersChanged();

private:
    [[nodiscard]] QVariant memberValue() const;
    [[nodiscard]] QVariant checkoutValue() const;
    [[nodiscard]] QString checkoutErrorText() const { return m_checkoutError.value_or(QString()); }
    void setCheckoutErrorText(const QString &text);
    [[nodiscard]] QVariantList ordersValue() const;
    // The toast, the closed order and the reloaded home and orders that follow a confirmed payment.
    QCoro::Task<> finishPaidOrder();

    bool m_showLogin = false;
    bool m_showCheckout = false;
    std::optional<CheckoutPayload> m_checkout;
    bool m_checkoutBusy = false;
    std::optional<QString> m_checkoutError;
    QList<OrderSummary> m_orders;
    NewestReply m_accountLoads;

    // ===== Wallpapers: store/Wallpapers.cpp ==========================================================================
    Q_PROPERTY(QString wallpaperBusy READ wallpaperBusyText NOTIFY wallpaperBusyChanged)
    // Bytes of the file being saved that have arrived, and its length (-1 until the service sends one).
    Q_PROPERTY(qint64 wallpaperReceived READ wallpaperReceived NOTIFY wallpaperProgressChanged)
    Q_PROPERTY(qint64 wallpaperTotal READ wallpaperTotal NOTIFY wallpaperProgressChanged)

public:
    [[nodiscard]] const std::optional<QString> &wallpaperBusy() const { return m_wallpaperBusy; }
    void setWallpaperBusy(std::optional<QString> slug)
    {
        update(m_wallpaperBusy, std::move(slug), &Store::wallpaperBusyChanged);
    }
    [[nodiscard]] qint64 wallpaperReceived() const { return m_wallpaperReceived; }
    [[nodiscard]] qint64 wallpaperTotal() const { return m_wallpaperTotal; }
    void setWallpaperProgress(qint64 received, qint64 total);

    QCoro::Task<> downloadWallpaperTask(StoreWallpaper wallpaper, bool full);
    Q_INVOKABLE void downloadWallpaper(const QVariant &wallpaper, bool full);
    // Stops the save going on, wherever it is: the store is free for the next one at once.
    Q_INVOKABLE void cancelWallpaperDownload();

Q_SIGNALS:
    void wallpaperBusyChanged();
    void wallpaperProgressChanged();

private:
    [[nodiscard]] QString wallpaperBusyText() const { return m_wallpaperBusy.value_or(QString()); }
    void reportWallpaperFailure(const ApiError &error);

    std::optional<QString> m_wallpaperBusy;
    NewestReply m_wallpaperSaves; // the save that owns wallpaperBusy; a cancelled one lets go of it
    FetchCanceller *m_wallpaperCanceller = nullptr;
    qint64 m_wallpaperReceived = 0;
    qint64 m_wallpaperTotal = -1;

    Navigator *m_navigator = nullptr; // a child, made with the Store
};
