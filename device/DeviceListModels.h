#pragma once
// Item models behind the device page's lists: every property of a row is a role of the same name (see
// RecordListModel), so the page's delegates declare `required property` for what they show.

#include "device/DeviceHistory.h"
#include "device/DeviceRecords.h"
#include "device/DeviceSummary.h"
#include "store/ListModels.h"

// The identity card's cells (DeviceCheck.cells).
class DeviceCellModel : public RecordListModel
{
    Q_OBJECT
    QML_ELEMENT

public:
    explicit DeviceCellModel(QObject *parent = nullptr)
        : RecordListModel(QMetaType::fromType<DeviceSummary::Cell>(), parent)
    { }
};

// The rows of one metric section.
class DeviceMetricModel : public RecordListModel
{
    Q_OBJECT
    QML_ELEMENT

public:
    explicit DeviceMetricModel(QObject *parent = nullptr)
        : RecordListModel(QMetaType::fromType<DeviceMetric>(), parent)
    { }
};

// The cross-checks (DeviceCheck.checks).
class CrossCheckModel : public RecordListModel
{
    Q_OBJECT
    QML_ELEMENT

public:
    explicit CrossCheckModel(QObject *parent = nullptr)
        : RecordListModel(QMetaType::fromType<CrossCheck>(), parent)
    { }
};

// The rows that changed since an earlier check (DeviceCheck.historyChanges).
class HistoryChangeModel : public RecordListModel
{
    Q_OBJECT
    QML_ELEMENT

public:
    explicit HistoryChangeModel(QObject *parent = nullptr)
        : RecordListModel(QMetaType::fromType<HistoryChange>(), parent)
    { }
};
