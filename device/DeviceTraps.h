#pragma once
// The used-Mac traps a buyer cannot see: a company's remote management, a firmware password, a battery the
// system already flags and a logic board that does not belong to the case. Pure functions over what
// `profiles`, `firmwarepasswd` and `system_profiler SPPowerDataType` print, the metric rows built from it and
// the cross-checks that judge them.

#include "device/DeviceRecords.h"

namespace DeviceTraps {

// "profiles status -type enrollment": the rows "dep" and "mdm". Reads the two-line form of macOS 10.13.4 and
// later ("Enrolled via DEP: No", "MDM enrollment: Yes (User Approved)", an "MDM server:" line may follow) and
// the single sentence of 10.13.0–10.13.3 ("An enrollment profile is currently installed on this system" /
// "There is no enrollment profile installed on this system"), which does not tell how the Mac enrolled.
[[nodiscard]] QList<DeviceMetric> enrollmentMetrics(const QString &profilesStatus);

// The "firmwarepw" row: from "firmwarepasswd -check" ("Password Enabled: Yes" / "…: No"); not applicable on
// Apple silicon; not checked until the administrator password was given.
[[nodiscard]] DeviceMetric firmwareMetric(const QString &firmwarepasswdCheck);
[[nodiscard]] DeviceMetric firmwareNotApplicable();
[[nodiscard]] DeviceMetric firmwareUnchecked();
// Intel Macs only have a firmware password; a chip named "Apple …" is Apple silicon.
[[nodiscard]] bool hasFirmwarePassword(const DeviceIdentity &identity);

// Section "management" (远程管理): dep, mdm, firmwarepw.
[[nodiscard]] DeviceSection managementSection(const QString &profilesStatus, const DeviceMetric &firmware);

// Whether the Mac has a battery: the power report has a battery block, or the battery registry reports one.
[[nodiscard]] bool hasBattery(const QString &powerReport, const QString &ioreg);
// The "condition" row of the battery section from the power report's "Condition:" line; none without a
// battery. Spellings differ across versions ("Service Recommended", "Service Battery", case, spacing).
[[nodiscard]] std::optional<DeviceMetric> conditionMetric(const QString &powerReport, bool battery);

// Upper case, without spaces of any kind (a serial copied from a box label or typed with gaps).
[[nodiscard]] QString normalisedSerial(const QString &serial);
// The serial with its middle hidden: the first three and last three characters kept ("K7Q****HV9").
[[nodiscard]] QString maskedSerial(const QString &serial);

// The checks that follow the standing ones: 设备管理登记, 固件密码, 电池状态, 机身序列号核对 (`caseSerial`
// empty: not compared). Unreadable or unchecked facts carry no penalty.
[[nodiscard]] CrossCheckResult trapChecks(const DeviceIdentity &identity, const QList<DeviceSection> &sections,
                                          const QString &caseSerial);

} // namespace DeviceTraps
