#include "store/Store.h"

#include "service/Endpoint.h"
#include "service/UserDefaults.h"
#include "store/Platform.h"

#include <QCoreApplication>
#include <QJSEngine>
#include <QPointer>
#include <QQmlEngine>
#include <array>
#include <concepts>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

QPointer<Store> g_instance;

// Stores value in member; says whether anything changed. Records without equality always count as changed.
template <typename T> bool assign(T &member, T value)
{
    if constexpr (std::equality_comparable<T>) {
        if (member == value)
            return false;
    }
    member = std::move(value);
    return true;
}

template <typename T> QVariant optionalValue(const std::optional<T> &value)
{
    return value ? QVariant::fromValue(*value) : QVariant();
}

// QML writes undefined or null for "absent"; anything that is not the record itself is ignored.
template <typename T> std::optional<std::optional<T>> fromQml(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return std::optional<T>();
    if (value.metaType() == QMetaType::fromType<T>())
        return std::optional<T>(value.value<T>());
    return std::nullopt;
}

template <typename T> QVariantList listValue(const QList<T> &list)
{
    QVariantList out;
    out.reserve(list.size());
    for (const T &item : list)
        out.append(QVariant::fromValue(item));
    return out;
}

std::optional<QString> optionalText(const QString &text)
{
    return text.isEmpty() ? std::nullopt : std::optional<QString>(text);
}

constexpr std::array<std::pair<Store::Section, const char16_t *>, 9> sectionKeys{{
    {Store::Section::discover, u"discover"},
    {Store::Section::device, u"device"},
    {Store::Section::softwareManager, u"softwareManager"},
    {Store::Section::top, u"top"},
    {Store::Section::latest, u"latest"},
    {Store::Section::categories, u"categories"},
    {Store::Section::wallpapers, u"wallpapers"},
    {Store::Section::member, u"member"},
    {Store::Section::installed, u"installed"},
}};

// The download records saved under "installedApps"; empty when missing or when any record is unreadable.
QHash<QString, InstalledApp> readInstalledRecords()
{
    const QVariant stored = userDefaults()->value(u"installedApps"_s);
    QByteArray data;
    if (stored.typeId() == QMetaType::QByteArray)
        data = stored.toByteArray();
    else if (stored.typeId() == QMetaType::QString)
        data = stored.toString().toUtf8();
    else
        return {};
    const auto records = InstalledApp::decodeStored(data);
    if (!records)
        return {};
    QHash<QString, InstalledApp> result;
    for (auto it = records->cbegin(); it != records->cend(); ++it)
        result.insert(it.key(), it.value());
    return result;
}

} // namespace

Store::Store(QObject *parent)
    : QObject(parent)
{
    m_toastTimer.setSingleShot(true);
    m_toastTimer.setInterval(toastMilliseconds);
    connect(&m_toastTimer, &QTimer::timeout, this, &Store::clearToast);
    m_installed = readInstalledRecords();
}

Store::~Store() = default;

Store *Store::instance()
{
    return g_instance.data();
}

void Store::setInstance(Store *store)
{
    g_instance = store;
}

Store *Store::create(QQmlEngine *, QJSEngine *)
{
    if (!instance())
        setInstance(new Store(QCoreApplication::instance()));
    Store *store = instance();
    QJSEngine::setObjectOwnership(store, QJSEngine::CppOwnership);
    return store;
}

QString Store::sectionKey(Section section)
{
    for (const auto &[value, key] : sectionKeys) {
        if (value == section)
            return QString::fromUtf16(key);
    }
    return u"discover"_s;
}

std::optional<Store::Section> Store::sectionFromKey(const QString &key)
{
    for (const auto &[value, name] : sectionKeys) {
        if (key == QStringView(name))
            return value;
    }
    return std::nullopt;
}

std::optional<StoreMember> Store::member() const
{
    return m_home ? m_home->member : std::nullopt;
}

bool Store::billingOn() const
{
    return !m_home || m_home->billingEnabled.value_or(true);
}

// --- setters ---

void Store::setHome(std::optional<StoreHome> home)
{
    if (assign(m_home, std::move(home)))
        Q_EMIT homeChanged();
}

void Store::setLoading(bool loading)
{
    if (assign(m_loading, loading))
        Q_EMIT loadingChanged();
}

void Store::setError(std::optional<QString> error)
{
    if (assign(m_error, std::move(error)))
        Q_EMIT errorChanged();
}

void Store::setSection(Section section)
{
    if (assign(m_section, section))
        Q_EMIT sectionChanged();
}

void Store::setSelectedCategory(std::optional<QString> slug)
{
    if (assign(m_selectedCategory, std::move(slug)))
        Q_EMIT selectedCategoryChanged();
}

void Store::setSearchText(const QString &text)
{
    if (assign(m_searchText, text))
        Q_EMIT searchTextChanged();
}

void Store::setSearchResults(std::optional<SearchResult> results)
{
    if (assign(m_searchResults, std::move(results)))
        Q_EMIT searchResultsChanged();
}

void Store::setSearchBusy(bool busy)
{
    if (assign(m_searchBusy, busy))
        Q_EMIT searchBusyChanged();
}

void Store::setDetail(std::optional<StoreDetail> detail)
{
    if (assign(m_detail, std::move(detail)))
        Q_EMIT detailChanged();
}

void Store::setDetailLoading(bool loading)
{
    if (assign(m_detailLoading, loading))
        Q_EMIT detailLoadingChanged();
}

void Store::setShowLogin(bool show)
{
    if (assign(m_showLogin, show))
        Q_EMIT showLoginChanged();
}

void Store::setWallpaperBusy(std::optional<QString> slug)
{
    if (assign(m_wallpaperBusy, std::move(slug)))
        Q_EMIT wallpaperBusyChanged();
}

void Store::setCheckout(std::optional<CheckoutPayload> checkout)
{
    if (assign(m_checkout, std::move(checkout)))
        Q_EMIT checkoutChanged();
}

void Store::setCheckoutBusy(bool busy)
{
    if (assign(m_checkoutBusy, busy))
        Q_EMIT checkoutBusyChanged();
}

void Store::setCheckoutError(std::optional<QString> error)
{
    if (assign(m_checkoutError, std::move(error)))
        Q_EMIT checkoutErrorChanged();
}

void Store::setShowCheckout(bool show)
{
    if (assign(m_showCheckout, show))
        Q_EMIT showCheckoutChanged();
}

void Store::setOrders(QList<OrderSummary> orders)
{
    if (assign(m_orders, std::move(orders)))
        Q_EMIT ordersChanged();
}

void Store::setDownloading(QSet<QString> slugs)
{
    if (assign(m_downloading, std::move(slugs)))
        Q_EMIT downloadingChanged();
}

void Store::setInstalled(QHash<QString, InstalledApp> records)
{
    if (assign(m_installed, std::move(records)))
        Q_EMIT installedChanged();
}

void Store::setNetdiskLinks(QList<NetdiskLink> links)
{
    if (assign(m_netdiskLinks, std::move(links)))
        Q_EMIT netdiskLinksChanged();
}

void Store::setNetdiskFor(std::optional<QString> slug)
{
    if (assign(m_netdiskFor, std::move(slug)))
        Q_EMIT netdiskForChanged();
}

void Store::setNetdiskBusy(bool busy)
{
    if (assign(m_netdiskBusy, busy))
        Q_EMIT netdiskBusyChanged();
}

// --- QML views ---

QVariant Store::homeValue() const
{
    return optionalValue(m_home);
}

void Store::setHomeValue(const QVariant &value)
{
    if (auto home = fromQml<StoreHome>(value))
        setHome(std::move(*home));
}

void Store::setSectionName(const QString &name)
{
    if (const auto section = sectionFromKey(name))
        setSection(*section);
}

void Store::setSelectedCategoryText(const QString &slug)
{
    setSelectedCategory(optionalText(slug));
}

QVariant Store::searchResultsValue() const
{
    return optionalValue(m_searchResults);
}

void Store::setSearchResultsValue(const QVariant &value)
{
    if (auto results = fromQml<SearchResult>(value))
        setSearchResults(std::move(*results));
}

QVariant Store::detailValue() const
{
    return optionalValue(m_detail);
}

void Store::setDetailValue(const QVariant &value)
{
    if (auto detail = fromQml<StoreDetail>(value))
        setDetail(std::move(*detail));
}

QVariant Store::checkoutValue() const
{
    return optionalValue(m_checkout);
}

void Store::setCheckoutValue(const QVariant &value)
{
    if (auto checkout = fromQml<CheckoutPayload>(value))
        setCheckout(std::move(*checkout));
}

void Store::setCheckoutErrorText(const QString &text)
{
    setCheckoutError(optionalText(text));
}

QVariantList Store::ordersValue() const
{
    return listValue(m_orders);
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

QVariantList Store::netdiskLinksValue() const
{
    return listValue(m_netdiskLinks);
}

QVariant Store::memberValue() const
{
    return optionalValue(member());
}

// --- immediate actions ---

void Store::showToast(const QString &text)
{
    if (assign(m_toast, std::optional<QString>(text)))
        Q_EMIT toastChanged();
    m_toastTimer.start();
}

void Store::clearToast()
{
    if (assign(m_toast, std::optional<QString>()))
        Q_EMIT toastChanged();
}

void Store::openOnWeb(const QString &path)
{
    if (const auto url = Endpoint::url(path))
        Platform::instance().openUrl(*url);
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
        showToast(u"网盘地址无效"_s);
        return;
    }
    Platform::instance().openUrl(*url);
}

void Store::reveal(const QString &slug)
{
    const auto record = m_installed.constFind(slug);
    if (record == m_installed.cend() || !record->location || record->location->isEmpty()) {
        showToast(u"该条目没有本地文件记录"_s);
        return;
    }
    Platform::instance().revealFile(*record->location);
}

// --- asynchronous actions started from QML ---

void Store::bootstrap()
{
    bootstrapTask();
}

void Store::openDetail(const QString &slug)
{
    openDetailTask(slug);
}

void Store::runSearch(const QString &text)
{
    runSearchTask(text);
}

void Store::loadNetdisk(const QVariant &app)
{
    if (app.metaType() == QMetaType::fromType<StoreApp>())
        loadNetdiskTask(app.value<StoreApp>());
}

void Store::startCheckout(const QVariant &plan, const QString &payType, const QString &gateway)
{
    if (plan.metaType() == QMetaType::fromType<StorePlan>()) {
        startCheckoutTask(plan.value<StorePlan>().id, payType, gateway);
        return;
    }
    bool isNumber = false;
    const int planId = plan.toInt(&isNumber);
    if (isNumber)
        startCheckoutTask(planId, payType, gateway);
}

void Store::pollCheckout()
{
    pollCheckoutTask();
}

void Store::mockPay()
{
    mockPayTask();
}

void Store::loadAccount()
{
    loadAccountTask();
}

void Store::downloadWallpaper(const QVariant &wallpaper, bool full)
{
    if (wallpaper.metaType() == QMetaType::fromType<StoreWallpaper>())
        downloadWallpaperTask(wallpaper.value<StoreWallpaper>(), full);
}
