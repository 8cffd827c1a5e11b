#pragma once
// Plain value records produced by a device check: the status of a fact, metric rows grouped in sections,
// the hardware identity, the capacity audit, the disk layout and the cross-check rows. All are Q_GADGET value
// types so a screen can read them directly; C++ code uses the members.

#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QtQml/qqmlregistration.h>

#include <optional>

// The traffic-light status of every device-check fact; its raw value is the lower-case case name.
enum class DeviceStatus { ok, warn, bad, info };

[[nodiscard]] QString statusText(DeviceStatus status);
[[nodiscard]] std::optional<DeviceStatus> statusFromText(const QString &text);

// "—" (U+2014): the placeholder for any fact that is missing or unreadable.
inline const QString kMissing = QStringLiteral("\u2014");

struct DeviceIdentity
{
    Q_GADGET
    QML_VALUE_TYPE(deviceIdentity)
    Q_PROPERTY(QString modelName MEMBER modelName CONSTANT)
    Q_PROPERTY(QString modelId MEMBER modelId CONSTANT)
    Q_PROPERTY(QString chip MEMBER chip CONSTANT)
    Q_PROPERTY(QString cores MEMBER cores CONSTANT)
    Q_PROPERTY(QString memory MEMBER memory CONSTANT)
    Q_PROPERTY(QString serial MEMBER serial CONSTANT)
    Q_PROPERTY(QString modelNumber MEMBER modelNumber CONSTANT)
    Q_PROPERTY(QString firmware MEMBER firmware CONSTANT)
    Q_PROPERTY(QString hwUUID MEMBER hwUUID CONSTANT)
    Q_PROPERTY(QString udid MEMBER udid CONSTANT)
    Q_PROPERTY(QString activationLock MEMBER activationLock CONSTANT)

public:
    QString modelName = QStringLiteral("Mac");
    QString modelId = kMissing;
    QString chip = kMissing;
    QString cores = kMissing;
    QString memory = kMissing;
    QString serial = kMissing;
    QString modelNumber = kMissing;
    QString firmware = kMissing;
    QString hwUUID = kMissing;
    QString udid = kMissing;
    QString activationLock = kMissing;

    [[nodiscard]] QJsonObject toJson() const;
    bool operator==(const DeviceIdentity &) const = default;
};

struct DeviceMetric
{
    Q_GADGET
    QML_VALUE_TYPE(deviceMetric)
    Q_PROPERTY(QString key MEMBER key CONSTANT)
    Q_PROPERTY(QString label MEMBER label CONSTANT)
    Q_PROPERTY(QString value MEMBER value CONSTANT)
    Q_PROPERTY(QString detail READ detailText CONSTANT)
    Q_PROPERTY(QString status READ statusValue CONSTANT)

public:
    QString key;
    QString label;
    QString value;
    std::optional<QString> detail;
    DeviceStatus status = DeviceStatus::info;

    [[nodiscard]] QString detailText() const { return detail.value_or(QString()); }
    [[nodiscard]] QString statusValue() const { return statusText(status); }
    [[nodiscard]] QJsonObject toJson() const;
    bool operator==(const DeviceMetric &) const = default;
};

struct DeviceSection
{
    Q_GADGET
    QML_VALUE_TYPE(deviceSection)
    Q_PROPERTY(QString id MEMBER id CONSTANT)
    Q_PROPERTY(QString title MEMBER title CONSTANT)
    Q_PROPERTY(QString icon MEMBER icon CONSTANT)
    Q_PROPERTY(QVariantList metrics READ metricList CONSTANT)

public:
    QString id;
    QString title;
    QString icon;
    QList<DeviceMetric> metrics;

    [[nodiscard]] const DeviceMetric *metric(const QString &key) const;
    [[nodiscard]] QVariantList metricList() const;
    [[nodiscard]] QJsonObject toJson() const;
    bool operator==(const DeviceSection &) const = default;
};

struct ApfsContainer
{
    Q_GADGET
    QML_VALUE_TYPE(apfsContainer)
    Q_PROPERTY(QString name MEMBER name CONSTANT)
    Q_PROPERTY(double sizeGB MEMBER sizeGB CONSTANT)
    Q_PROPERTY(bool isSystem MEMBER isSystem CONSTANT)

public:
    QString name;
    double sizeGB = 0;
    bool isSystem = false;
    bool operator==(const ApfsContainer &) const = default;
};

struct DiskLayout
{
    Q_GADGET
    QML_VALUE_TYPE(diskLayout)
    Q_PROPERTY(QString physicalTotal MEMBER physicalTotal CONSTANT)
    Q_PROPERTY(QVariantList containers READ containerList CONSTANT)
    Q_PROPERTY(QString systemOn MEMBER systemOn CONSTANT)
    Q_PROPERTY(QString verdict MEMBER verdict CONSTANT)
    Q_PROPERTY(QString detail MEMBER detail CONSTANT)
    Q_PROPERTY(QString status READ statusValue CONSTANT)
    Q_PROPERTY(bool isPartitioned MEMBER isPartitioned CONSTANT)

public:
    QString physicalTotal = kMissing;
    QList<ApfsContainer> containers;
    QString systemOn = kMissing;
    QString verdict;
    QString detail;
    DeviceStatus status = DeviceStatus::ok;
    bool isPartitioned = false;

    [[nodiscard]] QVariantList containerList() const;
    [[nodiscard]] QString statusValue() const { return statusText(status); }
};

struct CapacityAudit
{
    Q_GADGET
    QML_VALUE_TYPE(capacityAudit)
    Q_PROPERTY(QString modelNumber MEMBER modelNumber CONSTANT)
    Q_PROPERTY(QVariant officialStorage READ officialStorageValue CONSTANT)
    Q_PROPERTY(QVariant actualStorage READ actualStorageValue CONSTANT)
    Q_PROPERTY(QVariant officialMemory READ officialMemoryValue CONSTANT)
    Q_PROPERTY(QString actualMemory MEMBER actualMemory CONSTANT)
    Q_PROPERTY(QString verdict MEMBER verdict CONSTANT)
    Q_PROPERTY(QString detail MEMBER detail CONSTANT)
    Q_PROPERTY(QString status READ statusValue CONSTANT)
    Q_PROPERTY(bool isExpanded MEMBER isExpanded CONSTANT)
    Q_PROPERTY(bool isShrunk MEMBER isShrunk CONSTANT)

public:
    QString modelNumber;
    std::optional<int> officialStorage;
    std::optional<double> actualStorage;
    std::optional<int> officialMemory;
    QString actualMemory;
    QString verdict;
    QString detail;
    DeviceStatus status = DeviceStatus::info;
    bool isExpanded = false;
    bool isShrunk = false;

    [[nodiscard]] QVariant officialStorageValue() const
    {
        return officialStorage ? QVariant(*officialStorage) : QVariant();
    }
    [[nodiscard]] QVariant actualStorageValue() const { return actualStorage ? QVariant(*actualStorage) : QVariant(); }
    [[nodiscard]] QVariant officialMemoryValue() const
    {
        return officialMemory ? QVariant(*officialMemory) : QVariant();
    }
    [[nodiscard]] QString statusValue() const { return statusText(status); }
};

struct CrossCheck
{
    Q_GADGET
    QML_VALUE_TYPE(crossCheck)
    Q_PROPERTY(QString label MEMBER label CONSTANT)
    Q_PROPERTY(QString result MEMBER result CONSTANT)
    Q_PROPERTY(QString detail READ detailText CONSTANT)
    Q_PROPERTY(QString status READ statusValue CONSTANT)

public:
    QString label;
    QString result;
    std::optional<QString> detail;
    DeviceStatus status = DeviceStatus::info;

    [[nodiscard]] QString detailText() const { return detail.value_or(QString()); }
    [[nodiscard]] QString statusValue() const { return statusText(status); }
    [[nodiscard]] QJsonObject toJson() const;
    bool operator==(const CrossCheck &) const = default;
};

// What the cross-checks return: the named checks, the issue sentences in check order and the summed penalty.
struct CrossCheckResult
{
    QList<CrossCheck> checks;
    QStringList issues;
    int penalty = 0;
};

// One row of the built-in table of factory configurations.
struct OfficialSpec
{
    int storageGB = 0;
    int memoryGB = 0;
    QString modelName;
};

Q_DECLARE_METATYPE(DeviceIdentity)
Q_DECLARE_METATYPE(DeviceMetric)
Q_DECLARE_METATYPE(DeviceSection)
Q_DECLARE_METATYPE(ApfsContainer)
Q_DECLARE_METATYPE(DiskLayout)
Q_DECLARE_METATYPE(CapacityAudit)
Q_DECLARE_METATYPE(CrossCheck)
