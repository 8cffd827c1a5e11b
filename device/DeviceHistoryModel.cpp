#include "device/DeviceHistoryModel.h"

using namespace Qt::StringLiterals;

int DeviceHistoryModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_entries.size());
}

QVariant DeviceHistoryModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const HistoryEntry &entry = m_entries.at(index.row());
    switch (role) {
    case DateRole:
        return entry.checkedAt.toLocalTime().toString(u"yyyy-MM-dd HH:mm"_s);
    case ScoreRole:
        return entry.score;
    case VerdictRole:
        return entry.verdict;
    case SerialRole:
        return entry.serial;
    case SameSerialRole:
        return entry.serial == m_serial;
    default:
        return {};
    }
}

QHash<int, QByteArray> DeviceHistoryModel::roleNames() const
{
    return {{DateRole, "date"},
            {ScoreRole, "score"},
            {VerdictRole, "verdict"},
            {SerialRole, "serial"},
            {SameSerialRole, "sameSerial"}};
}

void DeviceHistoryModel::reset(QList<HistoryEntry> entries, QString serial)
{
    const bool countChanges = entries.size() != m_entries.size();
    beginResetModel();
    m_entries = std::move(entries);
    m_serial = std::move(serial);
    endResetModel();
    if (countChanges)
        Q_EMIT countChanged();
}
