#include "software/SoftwareListModel.h"

#include "software/SampleApps.h"
#include "software/SoftwareScanner.h"

#include <QCollator>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>

SoftwareListModel::SoftwareListModel(QObject *parent)
    : QAbstractListModel(parent)
{
    connect(&m_watcher, &QFutureWatcher<QList<LocalApp>>::finished, this, [this] {
        if (m_watcher.future().isValid() && m_watcher.future().resultCount() > 0)
            publish(m_watcher.result());
        setScanning(false);
        Q_EMIT scanFinished();
    });
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
    case HasUpdateRole: {
        const auto store = storeAppFor(app);
        return store && UpdateMatch::isNewer(store->version, app.version());
    }
    case StoreVersionRole: {
        const auto store = storeAppFor(app);
        return store ? store->version : QString();
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
    };
}

void SoftwareListModel::setHome(const QVariant &home)
{
    if (home == m_home)
        return;
    m_home = home;
    rebuildMatches();
    Q_EMIT homeChanged();
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
    QCollator collator(locale);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(false);
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
                           {StoreAppRole, HasUpdateRole, StoreVersionRole});
}

std::optional<StoreApp> SoftwareListModel::storeAppFor(const LocalApp &app) const
{
    return UpdateMatch::match(m_storeTable, app.name());
}
