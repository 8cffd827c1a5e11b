#include "software/SoftwareListModel.h"

#include "software/NameOrder.h"
#include "software/SampleApps.h"
#include "software/SoftwareScanner.h"
#include "store/Platform.h"

#include "service/Endpoint.h"

#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

QString verdictKey(const std::optional<UpdateOffer> &offer)
{
    if (!offer)
        return {};
    switch (offer->compatibility.verdict) {
    case Compatibility::Verdict::compatible:
        return u"compatible"_s;
    case Compatibility::Verdict::needsRosetta:
        return u"needsRosetta"_s;
    case Compatibility::Verdict::osTooOld:
        return u"osTooOld"_s;
    case Compatibility::Verdict::intelUnsupported:
        return u"intelUnsupported"_s;
    }
    return {};
}

} // namespace

SoftwareListModel::SoftwareListModel(QObject *parent)
    : QAbstractListModel(parent)
{
    connect(&m_watcher, &QFutureWatcher<QList<LocalApp>>::finished, this, [this] {
        if (m_watcher.future().isValid() && m_watcher.future().resultCount() > 0)
            publish(m_watcher.result());
        setScanning(false);
        Q_EMIT scanFinished();
        startCheck();
    });
    connect(&m_check, &UpdateCheck::progressChanged, this, &SoftwareListModel::checkChanged);
    connect(&m_check, &UpdateCheck::offerFound, this, &SoftwareListModel::offerArrived);
}

SoftwareListModel::~SoftwareListModel()
{
    // The worker finishes on its own; nothing is delivered to a model that is gone.
    m_watcher.disconnect(this);
}

int SoftwareListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_apps.size());
}

QVariant SoftwareListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const LocalApp &app = m_apps.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case NameRole:
        return app.name();
    case AppRole:
        return QVariant::fromValue(app);
    case VersionRole:
        return app.version();
    case BundlePathRole:
        return app.bundlePath();
    case BundleIdRole:
        return app.bundleId();
    case SizeTextRole:
        return app.sizeLabel();
    case StoreAppRole: {
        const auto store = storeAppFor(app);
        return store ? QVariant::fromValue(*store) : QVariant();
    }
    case HasUpdateRole:
        return offerFor(app).has_value();
    case StoreVersionRole: {
        if (const auto offer = offerFor(app))
            return offer->version;
        const auto store = storeAppFor(app);
        return store ? store->version : QString();
    }
    case UpdateSourceRole: {
        const auto offer = offerFor(app);
        return offer ? UpdateOffer::sourceKey(offer->source) : QString();
    }
    case UpdateVerdictRole:
        return verdictKey(offerFor(app));
    case UpdateRequiresRole: {
        const auto offer = offerFor(app);
        return offer ? offer->compatibility.requirement : QString();
    }
    case UpdatePageRole: {
        const auto offer = offerFor(app);
        return offer ? offer->page.toString() : QString();
    }
    }
    return {};
}

QHash<int, QByteArray> SoftwareListModel::roleNames() const
{
    return {
        {AppRole, "app"},
        {NameRole, "name"},
        {VersionRole, "version"},
        {BundlePathRole, "bundlePath"},
        {BundleIdRole, "bundleId"},
        {SizeTextRole, "sizeText"},
        {StoreAppRole, "storeApp"},
        {HasUpdateRole, "hasUpdate"},
        {StoreVersionRole, "storeVersion"},
        {UpdateSourceRole, "updateSource"},
        {UpdateVerdictRole, "updateVerdict"},
        {UpdateRequiresRole, "updateRequires"},
        {UpdatePageRole, "updatePage"},
    };
}

void SoftwareListModel::setHome(const QVariant &home)
{
    if (home == m_home)
        return;
    m_home = home;
    rebuildMatches();
    Q_EMIT homeChanged();
    if (!m_scanning)
        startCheck();
}

void SoftwareListModel::setCheckOnline(bool on)
{
    if (on == m_checkOnline)
        return;
    m_checkOnline = on;
    Q_EMIT checkOnlineChanged();
}

QString SoftwareListModel::checkText() const
{
    if (m_check.running())
        return u"正在检查更新… %1/%2"_s.arg(m_check.done()).arg(m_check.total());
    if (m_check.incomplete())
        return u"更新检查未完成：有的应用没能查询到，稍后重新扫描再试"_s;
    return {};
}

std::optional<UpdateOffer> SoftwareListModel::offerFor(const LocalApp &app) const
{
    if (const auto store = storeAppFor(app))
        return UpdateOffer::fromStore(UpdateOffer::Source::storeHome, *store, app.version(), ThisMac::current());
    const auto found = m_check.offers().constFind(app.id());
    if (found == m_check.offers().cend())
        return std::nullopt;
    return *found;
}

QVariantMap SoftwareListModel::locations() const
{
    QVariantMap map;
    for (const LocalApp &app : m_apps) {
        if (!map.contains(app.name()))
            map.insert(app.name(), app.bundlePath());
    }
    return map;
}

void SoftwareListModel::openPage(const QString &url)
{
    const auto parsed = Endpoint::parse(url);
    const QString scheme = parsed ? parsed->scheme().toLower() : QString();
    if (parsed && (scheme == u"http"_s || scheme == u"https"_s))
        Platform::instance().openUrl(*parsed);
}

void SoftwareListModel::startCheck()
{
    if (!m_checkOnline) {
        m_check.cancel();
        return;
    }
    QList<LocalApp> unmatched;
    for (const LocalApp &app : std::as_const(m_apps)) {
        if (!storeAppFor(app))
            unmatched.append(app);
    }
    m_check.start(unmatched, UpdateCheck::developerFeedsAllowed());
}

void SoftwareListModel::offerArrived(const QString &appId)
{
    for (qsizetype row = 0; row < m_apps.size(); ++row) {
        if (m_apps.at(row).id() == appId)
            Q_EMIT dataChanged(index(static_cast<int>(row)), index(static_cast<int>(row)));
    }
}

void SoftwareListModel::setRoots(const QStringList &roots)
{
    if (roots == m_roots)
        return;
    m_roots = roots;
    Q_EMIT rootsChanged();
}

bool SoftwareListModel::sampleApps()
{
    return SampleApps::inUse();
}

void SoftwareListModel::scan()
{
    if (m_scanning)
        return;
    setScanning(true);
    const QStringList roots = m_roots;
    const QLocale locale;
    m_watcher.setFuture(QtConcurrent::run([roots, locale] {
        QList<LocalApp> apps = SoftwareScanner::scan(roots.isEmpty() ? SampleApps::pageRoots() : roots);
        sortByName(apps, locale);
        return apps;
    }));
}

void SoftwareListModel::remove(const QString &id)
{
    for (qsizetype row = m_apps.size() - 1; row >= 0; --row) {
        if (m_apps.at(row).id() != id)
            continue;
        beginRemoveRows({}, static_cast<int>(row), static_cast<int>(row));
        m_apps.removeAt(row);
        endRemoveRows();
        Q_EMIT countChanged();
    }
}

LocalApp SoftwareListModel::get(int row) const
{
    return row >= 0 && row < m_apps.size() ? m_apps.at(row) : LocalApp();
}

void SoftwareListModel::sortByName(QList<LocalApp> &apps, const QLocale &locale)
{
    const QCollator collator = NameOrder::collator(locale);
    std::stable_sort(apps.begin(), apps.end(), [&collator](const LocalApp &a, const LocalApp &b) {
        return collator.compare(a.name(), b.name()) < 0;
    });
}

void SoftwareListModel::setScanning(bool scanning)
{
    if (scanning == m_scanning)
        return;
    m_scanning = scanning;
    Q_EMIT scanningChanged();
}

void SoftwareListModel::publish(QList<LocalApp> apps)
{
    const qsizetype before = m_apps.size();
    beginResetModel();
    m_apps = std::move(apps);
    endResetModel();
    if (m_apps.size() != before)
        Q_EMIT countChanged();
}

void SoftwareListModel::rebuildMatches()
{
    m_storeTable.clear();
    if (m_home.canConvert<StoreHome>() && m_home.metaType() == QMetaType::fromType<StoreHome>())
        m_storeTable = UpdateMatch::storeTable(m_home.value<StoreHome>());
    if (!m_apps.isEmpty())
        Q_EMIT dataChanged(index(0), index(static_cast<int>(m_apps.size()) - 1),
                           {StoreAppRole, HasUpdateRole, StoreVersionRole, UpdateSourceRole, UpdateVerdictRole,
                            UpdateRequiresRole, UpdatePageRole});
}

std::optional<StoreApp> SoftwareListModel::storeAppFor(const LocalApp &app) const
{
    return UpdateMatch::match(m_storeTable, app.name());
}
