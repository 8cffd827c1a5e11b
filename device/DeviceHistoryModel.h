#pragma once
// Earlier checks of this Mac for the device page, newest first: date, score, verdict and whether the system
// serial was the same. A reset replaces the rows.

#include "device/DeviceHistory.h"

#include <QAbstractListModel>
#include <QtQml/qqmlregistration.h>

class DeviceHistoryModel : public QAbstractListModel
{
    Q_OBJECT
    QML_ANONYMOUS
    Q_PROPERTY(int count READ rowCount NOTIFY countChanged)

public:
    enum Role { DateRole = Qt::UserRole + 1, ScoreRole, VerdictRole, SerialRole, SameSerialRole };

    using QAbstractListModel::QAbstractListModel;

    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

    void reset(QList<HistoryEntry> entries, QString serial);
    [[nodiscard]] const QList<HistoryEntry> &entries() const { return m_entries; }

Q_SIGNALS:
    void countChanged();

private:
    QList<HistoryEntry> m_entries;
    QString m_serial; // the serial of the check now shown
};
