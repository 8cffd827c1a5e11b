#pragma once
// The device check's rules as pure functions over tool output: text extractors, the hardware identity, the
// factory table and capacity audit, the disk layout, the metric sections, the cross-checks and the score.
// Nothing here runs a command; DiagnosticsEngine feeds these functions what the tools printed.

#include "device/DeviceRecords.h"

#include <QHash>

#include <functional>
#include <optional>

namespace DeviceRules {

// Trims spaces and tabs (only those) from both ends.
[[nodiscard]] QString trimSpaces(const QString &text);
// Removes the invisible direction marks U+2066..U+2069 that newer systems print around names.
[[nodiscard]] QString stripDirectionMarks(QString text);

// "Label: value" lines; the colon must follow the key directly. First match wins.
[[nodiscard]] std::optional<QString> field(const QString &text, const QString &key);
// "Key" = 123 lines (ioreg); decimal digits only.
[[nodiscard]] std::optional<qint64> intField(const QString &text, const QString &key);
// "500.3 GB" -> gigabytes of 1024.
[[nodiscard]] std::optional<double> parseToGB(const QString &text);

[[nodiscard]] DeviceIdentity identityFrom(const QString &cachedReport, const QString &liveReport);

[[nodiscard]] const QHash<QString, OfficialSpec> &officialSpecs();
[[nodiscard]] CapacityAudit auditCapacity(const QString &modelNumber, std::optional<double> actualTotalGB,
                                          const QString &actualMemory);

// The "Disk Size" figure of `diskutil info disk0` ("500.3 GB"), or "—".
[[nodiscard]] QString physicalDiskSize(const QString &diskInfo);
[[nodiscard]] DiskLayout diskLayoutFrom(const QString &diskInfo, const QString &diskList, const QString &rootDfLine);

[[nodiscard]] DeviceSection batteryFrom(const QString &ioreg);
// `infoByNode` runs `diskutil info /dev/disk0`; it is called only when the first report has no SMART line.
[[nodiscard]] DeviceSection storageFrom(const QString &diskInfo, const std::function<QString()> &infoByNode,
                                        const QString &nvme, const DiskLayout &layout, const QString &df);
[[nodiscard]] DeviceSection displayFrom(const QString &displays);
[[nodiscard]] DeviceSection ioFrom(const QString &airport, const QString &bluetooth, const QString &thunderbolt,
                                   const QString &camera, const QString &audio);
// What a security fact reads when its tool gave no readable answer: it hung, printed nothing, printed what is not
// text or far too much. Such an answer proves nothing either way, so it carries no verdict and no penalty.
inline const QString kUnreadable = QStringLiteral("无法读取");
[[nodiscard]] bool unreadable(const QString &toolOutput);
[[nodiscard]] bool sipEnabled(const QString &csrutilStatus);
[[nodiscard]] bool firewallEnabled(const QString &globalState);
[[nodiscard]] DeviceSection securityFrom(const QString &csrutilStatus, const QString &fdesetupStatus,
                                         const QString &firewallState, const DeviceIdentity &identity);

[[nodiscard]] QString batterySerial(const QString &ioreg);
[[nodiscard]] QString regionName(const QString &modelNumber);
// Mac mini, iMac (Pro), Mac Pro and Mac Studio: machines without a battery, by their model name.
[[nodiscard]] bool isDesktop(const QString &modelName);

struct CrossCheckInputs
{
    QString ioreg;
    QString nvme;
    QString diskInfo;
    QString csrutilStatus;
    DiskLayout layout;
};
[[nodiscard]] CrossCheckResult crossChecksFrom(const DeviceIdentity &identity, const CrossCheckInputs &inputs);

[[nodiscard]] int scoreFor(int penalty, const DeviceSection *battery);
[[nodiscard]] QString verdictFor(int score);

// The plain-text report. `handsOn` are the indented answer lines of the guided checks; when there are any they
// follow the sections under "【动手检查】".
[[nodiscard]] QString reportText(const DeviceIdentity &identity, int score, const QList<CrossCheck> &checks,
                                 const QList<DeviceSection> &sections, const QStringList &issues,
                                 const QStringList &handsOn = {});

} // namespace DeviceRules
