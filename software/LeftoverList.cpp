#include "software/LeftoverList.h"

#include "software/ByteCount.h"
#include "software/Logging.h"
#include "software/SoftwareScanner.h"

#include <QDir>
#include <QtConcurrent/QtConcurrentRun>

using namespace Qt::StringLiterals;

LeftoverList::LeftoverList(QObject *parent)
    : QAbstractListModel(parent)
{
    connect(&m_finding, &QFutureWatcher<QList<Leftovers::Item>>::finished, this,
            [this] { publish(m_finding.future().resultCount() > 0 ? m_finding.result() : QList<Leftovers::Item>()); });
    connect(&m_removing, &QFutureWatcher<QList<Failure>>::finished, this,
            [this] { removalDone(m_removing.future().resultCount() > 0 ? m_removing.result() : QList<Failure>()); });
}

LeftoverList::~LeftoverList()
{
    // Workers finish on their own; nothing is delivered to a list that is gone.
    m_finding.disconnect(this);
    m_removing.disconnect(this);
}

int LeftoverList::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : count();
}

QVariant LeftoverList::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Row &row = m_rows.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case PathRole:
        return row.item.path;
    case PlaceRole: // "Caches/com.example.App", as the Library shows it
        return QDir(library()).relativeFilePath(row.item.path);
    case SizeTextRole:
        return fileByteCount(row.item.sizeBytes);
    case RelatedRole:
        return row.item.match == Leftovers::Match::name;
    case CheckedRole:
        return row.checked;
    case FirstRelatedRole:
        return row.item.match == Leftovers::Match::name &&
            (index.row() == 0 || m_rows.at(index.row() - 1).item.match != Leftovers::Match::name);
    }
    return {};
}

QHash<int, QByteArray> LeftoverList::roleNames() const
{
    return {{PathRole, "path"},       {PlaceRole, "place"},     {SizeTextRole, "sizeText"},
            {RelatedRole, "related"}, {CheckedRole, "checked"}, {FirstRelatedRole, "firstRelated"}};
}

QString LeftoverList::library() const
{
    return m_library.isEmpty() ? Leftovers::userLibrary() : m_library;
}

void LeftoverList::setLibrary(const QString &library)
{
    if (library == m_library)
        return;
    m_library = library;
    Q_EMIT libraryChanged();
}

int LeftoverList::checkedCount() const
{
    return static_cast<int>(std::count_if(m_rows.cbegin(), m_rows.cend(), [](const Row &r) { return r.checked; }));
}

QString LeftoverList::checkedSize() const
{
    qint64 total = 0;
    for (const Row &row : m_rows)
        total += row.checked ? row.item.sizeBytes : 0;
    return fileByteCount(total);
}

void LeftoverList::find(const QString &bundleId, const QString &displayName)
{
    if (m_busy)
        return;
    setError({});
    setBusy(true);
    m_finding.setFuture(QtConcurrent::run([library = QDir(library()).canonicalPath(), bundleId, displayName] {
        return library.isEmpty() ? QList<Leftovers::Item>() : Leftovers::find(library, bundleId, displayName);
    }));
}

void LeftoverList::setChecked(int row, bool checked)
{
    if (row < 0 || row >= m_rows.size() || m_rows[row].checked == checked || m_busy)
        return;
    m_rows[row].checked = checked;
    Q_EMIT dataChanged(index(row), index(row), {CheckedRole});
    Q_EMIT checkedChanged();
}

void LeftoverList::moveCheckedToTrash()
{
    if (m_busy || checkedCount() == 0)
        return;
    QStringList paths;
    for (const Row &row : std::as_const(m_rows)) {
        if (row.checked)
            paths << row.item.path;
    }
    setError({});
    setBusy(true);
    m_removing.setFuture(QtConcurrent::run([library = library(), paths] {
        QList<Failure> failures;
        for (const QString &path : paths) {
            // Checked again at the moment of removal: the Library may have changed since it was listed.
            if (!Leftovers::isInsideLibrary(library, path)) {
                failures.append({path, u"不在资源库中，没有移动"_s});
                continue;
            }
            const UninstallResult result = SoftwareScanner::uninstallNow(path);
            if (!result.ok)
                failures.append({path, result.reasonText()});
        }
        return failures;
    }));
}

void LeftoverList::setBusy(bool busy)
{
    if (busy == m_busy)
        return;
    m_busy = busy;
    Q_EMIT busyChanged();
}

void LeftoverList::setError(const QString &error)
{
    if (error == m_error)
        return;
    m_error = error;
    Q_EMIT errorChanged();
}

void LeftoverList::publish(const QList<Leftovers::Item> &items)
{
    beginResetModel();
    m_rows.clear();
    for (const Leftovers::Item &item : items)
        m_rows.append({item, item.match == Leftovers::Match::bundleId});
    endResetModel();
    m_searched = true;
    Q_EMIT countChanged();
    Q_EMIT checkedChanged();
    setBusy(false);
}

void LeftoverList::removalDone(const QList<Failure> &failures)
{
    // The items that went leave the list; the ones that stayed keep their check and say why.
    QSet<QString> stayed;
    for (const Failure &failure : failures)
        stayed.insert(failure.path);
    int moved = 0;
    for (qsizetype row = m_rows.size() - 1; row >= 0; --row) {
        if (!m_rows[row].checked || stayed.contains(m_rows[row].item.path))
            continue;
        beginRemoveRows({}, static_cast<int>(row), static_cast<int>(row));
        m_rows.removeAt(row);
        endRemoveRows();
        ++moved;
    }
    Q_EMIT countChanged();
    Q_EMIT checkedChanged();
    for (const Failure &failure : failures)
        qCWarning(lcSoftware).noquote() << failure.path << "not moved to the Trash:" << failure.reason;
    if (!failures.isEmpty()) {
        const Failure &first = failures.constFirst();
        QString text = u"「%1」没有移到废纸篓：%2"_s.arg(QDir(library()).relativeFilePath(first.path), first.reason);
        if (failures.size() > 1)
            text += u"\n另有 %1 项也没有移动。"_s.arg(failures.size() - 1);
        setError(text);
    }
    setBusy(false);
    Q_EMIT removed(moved);
}
