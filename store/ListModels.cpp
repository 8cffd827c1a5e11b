#include "store/ListModels.h"

#include "service/ServiceDate.h"

#include <QDateTime>
#include <QJSValue>
#include <QSequentialIterable>

#include <algorithm>

RecordListModel::RecordListModel(QMetaType type, QObject *parent)
    : QAbstractListModel(parent)
    , m_type(type)
{
    const QMetaObject *meta = type.metaObject();
    for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) {
        // "id" cannot be a required property's name in QML; the slug identifies every record anyway.
        if (QByteArrayView(meta->property(i).name()) != "id")
            m_fields.append(meta->property(i));
    }
}

void RecordListModel::setRecords(const QVariant &records)
{
    m_records = records.metaType() == QMetaType::fromType<QJSValue>() ? records.value<QJSValue>().toVariant() : records;
    rebuild();
    Q_EMIT recordsChanged();
}

void RecordListModel::setFrom(int from)
{
    if (from == m_from)
        return;
    m_from = std::max(0, from);
    rebuild();
    Q_EMIT rangeChanged();
}

void RecordListModel::setLimit(int limit)
{
    if (limit == m_limit)
        return;
    // The same records under a higher limit: the rows shown stay and more follow them.
    const bool raised = m_limit >= 0 && (limit < 0 || limit > m_limit);
    m_limit = limit;
    rebuild(raised ? Growth::atEnd : Growth::anywhere);
    Q_EMIT rangeChanged();
}

void RecordListModel::rebuild(Growth grown)
{
    QVariantList all;
    const auto take = [&](const QVariant &item) {
        if (item.metaType() == m_type)
            all.append(item);
    };
    if (m_records.metaType() == QMetaType::fromType<QVariantMap>()) {
        const QVariantMap map = m_records.toMap();
        for (const QVariant &item : map)
            take(item);
    } else if (m_records.canConvert<QVariantList>()) {
        const QSequentialIterable items = m_records.value<QSequentialIterable>();
        for (const QVariant &item : items)
            take(item);
    }
    arrange(all);
    const qsizetype from = std::min<qsizetype>(m_from, all.size());
    const qsizetype size = m_limit < 0 ? all.size() - from : std::min<qsizetype>(m_limit, all.size() - from);

    QVariantList rows = all.mid(from, size);
    if (grown == Growth::atEnd) {
        // The rows shown keep their delegates.
        if (rows.size() > m_rows.size()) {
            beginInsertRows({}, int(m_rows.size()), int(rows.size()) - 1);
            m_rows = std::move(rows);
            endInsertRows();
            Q_EMIT countChanged();
        }
        return;
    }
    const int before = count();
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
    if (count() != before)
        Q_EMIT countChanged();
}

int RecordListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : count();
}

QVariant RecordListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const QVariant &record = m_rows.at(index.row());
    if (role == RecordRole)
        return record;
    if (role == RankRole)
        return m_from + index.row() + 1;
    const qsizetype field = role - FirstFieldRole;
    if (field < 0 || field >= m_fields.size())
        return {};
    return m_fields.at(field).readOnGadget(record.constData());
}

QHash<int, QByteArray> RecordListModel::roleNames() const
{
    QHash<int, QByteArray> names{{RecordRole, "record"}, {RankRole, "rank"}};
    for (qsizetype i = 0; i < m_fields.size(); ++i)
        names.insert(FirstFieldRole + int(i), m_fields.at(i).name());
    return names;
}

// --- categories ---

CategoryListModel::CategoryListModel(QObject *parent)
    : RecordListModel(QMetaType::fromType<StoreCategory>(), parent)
{
    // A new payload may drop or bring back the selected category.
    connect(this, &RecordListModel::recordsChanged, this, &CategoryListModel::selectedChanged);
}

void CategoryListModel::setSelectedSlug(const QString &slug)
{
    if (slug == m_selectedSlug)
        return;
    m_selectedSlug = slug;
    Q_EMIT selectedChanged();
}

QVariant CategoryListModel::selected() const
{
    if (m_selectedSlug.isEmpty())
        return {};
    for (int row = 0; row < count(); ++row) {
        const QVariant record = get(row);
        if (record.value<StoreCategory>().slug == m_selectedSlug)
            return record;
    }
    return {};
}

// --- download records ---

void DownloadedAppsModel::arrange(QVariantList &records) const
{
    std::sort(records.begin(), records.end(), [](const QVariant &a, const QVariant &b) {
        const auto &left = *static_cast<const InstalledApp *>(a.constData());
        const auto &right = *static_cast<const InstalledApp *>(b.constData());
        if (left.installedAt != right.installedAt)
            return left.installedAt > right.installedAt;
        return left.slug < right.slug;
    });
}

void OrderListModel::arrange(QVariantList &records) const
{
    // Creation times are ISO 8601 texts, possibly with different offsets: compared as instants.
    const auto created = [](const QVariant &v) {
        return parseServiceDate(static_cast<const OrderSummary *>(v.constData())->createdAt).value_or(QDateTime());
    };
    std::stable_sort(records.begin(), records.end(), [&](const QVariant &a, const QVariant &b) {
        const QDateTime left = created(a), right = created(b);
        if (left != right)
            return left > right;
        return static_cast<const OrderSummary *>(a.constData())->orderNo >
            static_cast<const OrderSummary *>(b.constData())->orderNo;
    });
}
