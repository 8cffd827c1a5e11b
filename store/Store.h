#pragma once
// The one observable state object of the app: every screen reads its properties and calls its actions, and the
// actions are the only code that talks to the store service on the screens' behalf.
#include "service/ApiResult.h"
#include "service/CatalogRecords.h"
#include "service/CommerceRecords.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QVariant>
#include <QtQmlIntegration>
#include <optional>

#include <QCoro/QCoroTask>

class QJSEngine;
class QQmlEngine;

class Store : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

    Q_PROPERTY(QVariant home READ homeValue WRITE setHomeValue NOTIFY homeChanged)
    Q_PROPERTY(bool loading READ loading NOTIFY loadingChanged)
    Q_PROPERTY(QString error READ errorText NOTIFY errorChanged)
    Q_PROPERTY(QString toast READ toastText NOTIFY toastChanged)
    Q_PROPERTY(QString section READ sectionName WRITE setSectionName NOTIFY sectionChanged)
    Q_PROPERTY(
        QString selectedCategory READ selectedCategoryText WRITE setSelectedCategoryText NOTIFY selectedCategoryChanged)
    Q_PROPERTY(QString searchText READ searchText WRITE setSearchText NOTIFY searchTextChanged)
    Q_PROPERTY(QVariant searchResults READ searchResultsValue WRITE setSearchResultsValue NOTIFY searchResultsChanged)
    Q_PROPERTY(bool searchBusy READ searchBusy NOTIFY searchBusyChanged)
    Q_PROPERTY(QVariant detail READ detailValue WRITE setDetailValue NOTIFY detailChanged)
    Q_PROPERTY(bool detailLoading READ detailLoading NOTIFY detailLoadingChanged)
    Q_PROPERTY(bool showLogin READ showLogin WRITE setShowLogin NOTIFY showLoginChanged)
    Q_PROPERTY(QString wallpaperBusy READ wallpaperBusyText NOTIFY wallpaperBusyChanged)
    Q_PROPERTY(QVariant checkout READ checkoutValue WRITE setCheckoutValue NOTIFY checkoutChanged)
    Q_PROPERTY(bool checkoutBusy READ checkoutBusy NOTIFY checkoutBusyChanged)
    Q_PROPERTY(QString checkoutError READ checkoutErrorText WRITE setCheckoutErrorText NOTIFY checkoutErrorChanged)
    Q_PROPERTY(bool showCheckout READ showCheckout WRITE setShowCheckout NOTIFY showCheckoutChanged)
    Q_PROPERTY(QVariantList orders READ ordersValue NOTIFY ordersChanged)
    Q_PROPERTY(QStringList downloading READ downloadingValue NOTIFY downloadingChanged)
    Q_PROPERTY(QVariantMap installed READ installedValue NOTIFY installedChanged)
    Q_PROPERTY(QVariantList netdiskLinks READ netdiskLinksValue NOTIFY netdiskLinksChanged)
    Q_PROPERTY(QString netdiskFor READ netdiskForText NOTIFY netdiskForChanged)
    Q_PROPERTY(bool netdiskBusy READ netdiskBusy NOTIFY netdiskBusyChanged)
    Q_PROPERTY(QVariant member READ memberValue NOTIFY homeChanged)
    Q_PROPERTY(bool billingOn READ billingOn NOTIFY homeChanged)

public:
    enum class Section { discover, device, softwareManager, top, latest, categories, wallpapers, member, installed };
    Q_ENUM(Section)

    static constexpr int toastMilliseconds = 3200;

    // Reads the saved download records; requests nothing. Deliberately not default-constructible: Qt 6.4's
    // QML would otherwise build a second Store for the singleton instead of calling create().
    explicit Store(QObject *parent);
    ~Store() override;

    [[nodiscard]] static Store *instance();
    // The app creates the one Store and installs it here before QML first asks for it.
    static void setInstance(Store *store);
    // The QML singleton: the installed Store (one is made on first use when none was installed).
    static Store *create(QQmlEngine *, QJSEngine *);

    [[nodiscard]] static QString sectionKey(Section section);
    [[nodiscard]] static std::optional<Section> sectionFromKey(const QString &key);

    // --- state, C++ side ---
    [[nodiscard]] const std::optional<StoreHome> &home() const { return m_home; }
    [[nodiscard]] bool loading() const { return m_loading; }
    [[nodiscard]] const std::optional<QString> &error() const { return m_error; }
    [[nodiscard]] const std::optional<QString> &toast() const { return m_toast; }
    [[nodiscard]] Section section() const { return m_section; }
    [[nodiscard]] const std::optional<QString> &selectedCategory() const { return m_selectedCategory; }
    [[nodiscard]] QString searchText() const { return m_searchText; }
    [[nodiscard]] const std::optional<SearchResult> &searchResults() const { return m_searchResults; }
    [[nodiscard]] bool searchBusy() const { return m_searchBusy; }
    [[nodiscard]] const std::optional<StoreDetail> &detail() const { return m_detail; }
    [[nodiscard]] bool detailLoading() const { return m_detailLoading; }
    [[nodiscard]] bool showLogin() const { return m_showLogin; }
    [[nodiscard]] const std::optional<QString> &wallpaperBusy() const { return m_wallpaperBusy; }
    [[nodiscard]] const std::optional<CheckoutPayload> &checkout() const { return m_checkout; }
    [[nodiscard]] bool checkoutBusy() const { return m_checkoutBusy; }
    [[nodiscard]] const std::optional<QString> &checkoutError() const { return m_checkoutError; }
    [[nodiscard]] bool showCheckout() const { return m_showCheckout; }
    [[nodiscard]] const QList<OrderSummary> &orders() const { return m_orders; }
    [[nodiscard]] const QSet<QString> &downloading() const { return m_downloading; }
    [[nodiscard]] const QHash<QString, InstalledApp> &installed() const { return m_installed; }
    [[nodiscard]] const QList<NetdiskLink> &netdiskLinks() const { return m_netdiskLinks; }
    [[nodiscard]] const std::optional<QString> &netdiskFor() const { return m_netdiskFor; }
    [[nodiscard]] bool netdiskBusy() const { return m_netdiskBusy; }
    // The member of the loaded home payload; absent before the first load and when signed out.
    [[nodiscard]] std::optional<StoreMember> member() const;
    // Whether paid sponsorship is offered: only an explicit false from the service turns it off.
    [[nodiscard]] bool billingOn() const;

    void setHome(std::optional<StoreHome> home);
    void setLoading(bool loading);
    void setError(std::optional<QString> error);
    void setSection(Section section);
    void setSelectedCategory(std::optional<QString> slug);
    void setSearchText(const QString &text);
    void setSearchResults(std::optional<SearchResult> results);
    void setSearchBusy(bool busy);
    void setDetail(std::optional<StoreDetail> detail);
    void setDetailLoading(bool loading);
    void setShowLogin(bool show);
    void setWallpaperBusy(std::optional<QString> slug);
    void setCheckout(std::optional<CheckoutPayload> checkout);
    void setCheckoutBusy(bool busy);
    void setCheckoutError(std::optional<QString> error);
    void setShowCheckout(bool show);
    void setOrders(QList<OrderSummary> orders);
    void setDownloading(QSet<QString> slugs);
    void setInstalled(QHash<QString, InstalledApp> records);
    void setNetdiskLinks(QList<NetdiskLink> links);
    void setNetdiskFor(std::optional<QString> slug);
    void setNetdiskBusy(bool busy);

    // --- actions, awaitable from C++ ---
    QCoro::Task<> bootstrapTask();
    QCoro::Task<> openDetailTask(QString slug);
    QCoro::Task<> runSearchTask(QString text);
    QCoro::Task<> loadNetdiskTask(StoreApp app);
    QCoro::Task<> startCheckoutTask(StorePlan plan, QString payType = QStringLiteral("wxpay"),
                                    QString gateway = QStringLiteral("hubijiao"));
    QCoro::Task<> startCheckoutTask(int planId, QString payType, QString gateway);
    QCoro::Task<> pollCheckoutTask();
    QCoro::Task<> mockPayTask();
    QCoro::Task<> loadAccountTask();
    QCoro::Task<> downloadWallpaperTask(StoreWallpaper wallpaper, bool full);

    // --- actions, started from QML (fire and forget) ---
    Q_INVOKABLE void bootstrap();
    Q_INVOKABLE void openDetail(const QString &slug);
    Q_INVOKABLE void runSearch(const QString &text);
    // Shows a transient message for 3.2 s; a newer one replaces it at once and gets its own 3.2 s.
    Q_INVOKABLE void showToast(const QString &text);
    Q_INVOKABLE void openOnWeb(const QString &path);
    Q_INVOKABLE void loadNetdisk(const QVariant &app);
    Q_INVOKABLE void openNetdisk(const QVariant &link);
    void openNetdisk(const NetdiskLink &link);
    Q_INVOKABLE void reveal(const QString &slug);
    // plan: a StorePlan or its id.
    Q_INVOKABLE void startCheckout(const QVariant &plan, const QString &payType = QStringLiteral("wxpay"),
                                   const QString &gateway = QStringLiteral("hubijiao"));
    Q_INVOKABLE void pollCheckout();
    Q_INVOKABLE void mockPay();
    Q_INVOKABLE void loadAccount();
    Q_INVOKABLE void downloadWallpaper(const QVariant &wallpaper, bool full);

Q_SIGNALS:
    void homeChanged();
    void loadingChanged();
    void errorChanged();
    void toastChanged();
    void sectionChanged();
    void selectedCategoryChanged();
    void searchTextChanged();
    void searchResultsChanged();
    void searchBusyChanged();
    void detailChanged();
    void detailLoadingChanged();
    void showLoginChanged();
    void wallpaperBusyChanged();
    void checkoutChanged();
    void checkoutBusyChanged();
    void checkoutErrorChanged();
    void showCheckoutChanged();
    void ordersChanged();
    void downloadingChanged();
    void installedChanged();
    void netdiskLinksChanged();
    void netdiskForChanged();
    void netdiskBusyChanged();

private:
    // QML-facing views of the state.
    [[nodiscard]] QVariant homeValue() const;
    void setHomeValue(const QVariant &value);
    [[nodiscard]] QString errorText() const { return m_error.value_or(QString()); }
    [[nodiscard]] QString toastText() const { return m_toast.value_or(QString()); }
    [[nodiscard]] QString sectionName() const { return sectionKey(m_section); }
    void setSectionName(const QString &name);
    [[nodiscard]] QString selectedCategoryText() const { return m_selectedCategory.value_or(QString()); }
    void setSelectedCategoryText(const QString &slug);
    [[nodiscard]] QVariant searchResultsValue() const;
    void setSearchResultsValue(const QVariant &value);
    [[nodiscard]] QVariant detailValue() const;
    void setDetailValue(const QVariant &value);
    [[nodiscard]] QString wallpaperBusyText() const { return m_wallpaperBusy.value_or(QString()); }
    [[nodiscard]] QVariant checkoutValue() const;
    void setCheckoutValue(const QVariant &value);
    [[nodiscard]] QString checkoutErrorText() const { return m_checkoutError.value_or(QString()); }
    void setCheckoutErrorText(const QString &text);
    [[nodiscard]] QVariantList ordersValue() const;
    [[nodiscard]] QStringList downloadingValue() const;
    [[nodiscard]] QVariantMap installedValue() const;
    [[nodiscard]] QVariantList netdiskLinksValue() const;
    [[nodiscard]] QString netdiskForText() const { return m_netdiskFor.value_or(QString()); }
    [[nodiscard]] QVariant memberValue() const;

    void clearToast();
    void reportWallpaperFailure(const ApiError &error);

    std::optional<StoreHome> m_home;
    bool m_loading = false;
    std::optional<QString> m_error;
    std::optional<QString> m_toast;
    Section m_section = Section::discover;
    std::optional<QString> m_selectedCategory;
    QString m_searchText;
    std::optional<SearchResult> m_searchResults;
    bool m_searchBusy = false;
    std::optional<StoreDetail> m_detail;
    bool m_detailLoading = false;
    bool m_showLogin = false;
    std::optional<QString> m_wallpaperBusy;
    std::optional<CheckoutPayload> m_checkout;
    bool m_checkoutBusy = false;
    std::optional<QString> m_checkoutError;
    bool m_showCheckout = false;
    QList<OrderSummary> m_orders;
    QSet<QString> m_downloading;
    QHash<QString, InstalledApp> m_installed;
    QList<NetdiskLink> m_netdiskLinks;
    std::optional<QString> m_netdiskFor;
    bool m_netdiskBusy = false;

    // Clears the toast; restarted by every new toast, so an older message's time never clears a newer one.
    QTimer m_toastTimer;
    // Counts link loads, so only the latest one may reset netdiskBusy.
    quint64 m_netdiskGeneration = 0;
};
