#pragma once
// The metric sections of a check as a list model, in arrival order: a page appends a card per section as
// it arrives instead of rebuilding all of them after every step.

#include "device/DeviceRecords.h"

#include <QAbstractListModel>
#include <QtQml/qqmlregistration.h>

class DeviceSectionModel : public QAbstractListModel
{
    Q_OBJECT
    QML_ANONYMOUS
    Q_PROPERTY(int count READ rowCount NOTIFY countChanged)

public:
    enum Role { IdRole = Qt::UserRole + 1, TitleRole, IconRole, MetricsRole };

    using QAbstractListModel::QAbstractListModel;

    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

    void append(const DeviceSection &section);
    void clear();
    // The section with the same id takes the new rows (a fact read later, on request).
    void replace(const DeviceSection &section);

Q_SIGNALS:
    void countChanged();

private:
    QList<DeviceSection> m_sections;
};
