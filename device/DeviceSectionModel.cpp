#include "device/DeviceSectionModel.h"

int DeviceSectionModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_sections.size());
}

QVariant DeviceSectionModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const DeviceSection &section = m_sections.at(index.row());
    switch (role) {
    case IdRole:
        return section.id;
    case TitleRole:
        return section.title;
    case IconRole:
        return section.icon;
    case MetricsRole:
        return section.metricList();
    }
    return {};
}

QHash<int, QByteArray> DeviceSectionModel::roleNames() const
{
    return {{IdRole, "sectionId"}, {TitleRole, "title"}, {IconRole, "icon"}, {MetricsRole, "metrics"}};
}

void DeviceSectionModel::append(const DeviceSection &section)
{
    const int row = int(m_sections.size());
    beginInsertRows({}, row, row);
    m_sections.append(section);
    endInsertRows();
    Q_EMIT countChanged();
}

void DeviceSectionModel::clear()
{
    if (m_sections.isEmpty())
        return;
    beginResetModel();
    m_sections.clear();
    endResetModel();
    Q_EMIT countChanged();
}

void DeviceSectionModel::replace(const DeviceSection &section)
{
    for (qsizetype row = 0; row < m_sections.size(); ++row) {
        if (m_sections[row].id == section.id) {
            m_sections[row] = section;
            Q_EMIT dataChanged(index(int(row)), index(int(row)));
            return;
        }
    }
}
