#include "device/DeviceTraps.h"

#include "device/DeviceRules.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace DeviceTraps {

namespace {

const QString kUnreadable = u"无法读取"_s;

DeviceMetric row(QString key, QString label, QString value, QString detail, DeviceStatus status)
{
    return DeviceMetric{std::move(key), std::move(label), std::move(value), std::move(detail), status};
}

// The first word of a "Label: Yes…" line, compared without regard to case.
bool saysYes(const QString &value)
{
    return value.startsWith(u"Yes"_s, Qt::CaseInsensitive);
}

bool saysNo(const QString &value)
{
    return value.compare(u"No"_s, Qt::CaseInsensitive) == 0;
}

QString squeezed(QString text)
{
    text.removeIf([](QChar c) { return c.isSpace(); });
    return text.toLower();
}

const DeviceMetric *find(const QList<DeviceSection> &sections, QStringView sectionId, const QString &key)
{
    for (const DeviceSection &section : sections) {
        if (section.id == sectionId)
            return section.metric(key);
    }
    return nullptr;
}

} // namespace

QList<DeviceMetric> enrollmentMetrics(const QString &profilesStatus)
{
    const QString depLabel = u"设备登记（DEP）"_s;
    const QString mdmLabel = u"MDM 注册"_s;
    const auto dep = DeviceRules::field(profilesStatus, u"Enrolled via DEP"_s);
    const auto mdm = DeviceRules::field(profilesStatus, u"MDM enrollment"_s);

    DeviceMetric depRow = row(u"dep"_s, depLabel, kUnreadable, u"读不到登记状态"_s, DeviceStatus::warn);
    DeviceMetric mdmRow = row(u"mdm"_s, mdmLabel, kUnreadable, u"读不到注册状态"_s, DeviceStatus::warn);
    if (dep && saysYes(*dep))
        depRow = row(u"dep"_s, depLabel, u"已登记"_s, u"属于某机构，抹盘重装后会自动重新受其管理"_s, DeviceStatus::bad);
    else if (dep && saysNo(*dep))
        depRow = row(u"dep"_s, depLabel, u"未登记"_s, u"不在机构的自动设备注册中"_s, DeviceStatus::ok);

    if (mdm && saysYes(*mdm) && mdm->contains(u"User Approved"_s, Qt::CaseInsensitive))
        mdmRow = row(u"mdm"_s, mdmLabel, u"已注册（用户批准）"_s, u"正受机构远程管理，可被远程锁定或抹掉"_s,
                     DeviceStatus::bad);
    else if (mdm && saysYes(*mdm))
        mdmRow = row(u"mdm"_s, mdmLabel, u"已注册"_s, u"正受机构远程管理，可被远程锁定或抹掉"_s, DeviceStatus::bad);
    else if (mdm && saysNo(*mdm))
        mdmRow = row(u"mdm"_s, mdmLabel, u"未注册"_s, u"未受远程管理"_s, DeviceStatus::ok);

    // macOS 10.13.0–10.13.3 answer in one sentence that says whether an enrollment profile is installed, not how.
    if (!dep && !mdm) {
        if (profilesStatus.contains(u"An enrollment profile is currently installed"_s)) {
            mdmRow = row(u"mdm"_s, mdmLabel, u"已注册"_s, u"装有机构的注册描述文件，可被远程管理"_s, DeviceStatus::bad);
            depRow.detail = u"旧版系统不显示是否经自动设备注册"_s;
        } else if (profilesStatus.contains(u"There is no enrollment profile installed"_s)) {
            depRow = row(u"dep"_s, depLabel, u"未登记"_s, u"不在机构的自动设备注册中"_s, DeviceStatus::ok);
            mdmRow = row(u"mdm"_s, mdmLabel, u"未注册"_s, u"未受远程管理"_s, DeviceStatus::ok);
        }
    }
    return {depRow, mdmRow};
}

DeviceMetric firmwareMetric(const QString &firmwarepasswdCheck)
{
    const QString label = u"固件密码"_s;
    const auto enabled = DeviceRules::field(firmwarepasswdCheck, u"Password Enabled"_s);
    if (enabled && saysYes(*enabled))
        return row(u"firmwarepw"_s, label, u"已设置"_s, u"没有此密码无法进入恢复模式、抹盘或从其他磁盘启动"_s,
                   DeviceStatus::warn);
    if (enabled && saysNo(*enabled))
        return row(u"firmwarepw"_s, label, u"未设置"_s, u"可正常进入恢复模式和抹盘"_s, DeviceStatus::ok);
    return row(u"firmwarepw"_s, label, kUnreadable, u"需要管理员权限，或本机不支持"_s, DeviceStatus::warn);
}

DeviceMetric firmwareNotApplicable()
{
    return row(u"firmwarepw"_s, u"固件密码"_s, u"不适用"_s, u"Apple 芯片的 Mac 没有固件密码"_s, DeviceStatus::info);
}

DeviceMetric firmwareUnchecked()
{
    return row(u"firmwarepw"_s, u"固件密码"_s, u"未检查"_s, u"读取需要管理员密码，点「检查固件密码」"_s,
               DeviceStatus::info);
}

bool hasFirmwarePassword(const DeviceIdentity &identity)
{
    return !identity.chip.contains(u"Apple"_s);
}

DeviceSection managementSection(const QString &profilesStatus, const DeviceMetric &firmware)
{
    DeviceSection section{u"management"_s, u"远程管理"_s, u"lock.shield"_s, enrollmentMetrics(profilesStatus)};
    section.metrics << firmware;
    return section;
}

bool hasBattery(const QString &powerReport, const QString &ioreg)
{
    return powerReport.contains(u"Battery Information"_s) || DeviceRules::intField(ioreg, u"DesignCapacity"_s) ||
        DeviceRules::intField(ioreg, u"CycleCount"_s);
}

std::optional<DeviceMetric> conditionMetric(const QString &powerReport, bool battery)
{
    if (!battery)
        return std::nullopt;
    static const QRegularExpression conditionLine(u"^[ \\t]*Condition[ \\t]*:[ \\t]*([^\\n]*)$"_s,
                                                  QRegularExpression::MultilineOption);
    static const QRegularExpression capacityLine(u"Maximum Capacity[ \\t]*:[ \\t]*(\\d+)[\\s\\x{a0}]*%"_s);
    const QString condition = squeezed(conditionLine.match(powerReport).captured(1));

    struct Reading
    {
        const char16_t *value;
        const char16_t *detail;
        DeviceStatus status;
    };
    static const QHash<QString, Reading> readings{
        {u"normal"_s, {u"正常", u"系统认为电池工作正常", DeviceStatus::ok}},
        {u"servicerecommended"_s, {u"建议维修", u"系统建议送修电池", DeviceStatus::bad}},
        // The name of the same state before macOS 10.13.
        {u"servicebattery"_s, {u"建议维修", u"系统建议送修电池", DeviceStatus::bad}},
        {u"replacesoon"_s, {u"即将需要更换", u"电池已明显老化", DeviceStatus::warn}},
        {u"replacenow"_s, {u"需要更换", u"电池需要立即更换", DeviceStatus::bad}},
        {u"checkbattery"_s, {u"检查电池", u"系统提示检查电池", DeviceStatus::warn}},
    };
    const auto reading = readings.constFind(condition);
    if (reading == readings.cend())
        return row(u"condition"_s, u"电池状态"_s, kUnreadable, u"读不到系统的电池状态"_s, DeviceStatus::warn);
    QString detail = QString::fromUtf16(reading->detail);
    const auto capacity = capacityLine.match(powerReport);
    if (capacity.hasMatch())
        detail += u"，系统显示最大容量 "_s + capacity.captured(1) + u'%';
    return row(u"condition"_s, u"电池状态"_s, QString::fromUtf16(reading->value), detail, reading->status);
}

QString normalisedSerial(const QString &serial)
{
    QString text = serial;
    text.removeIf([](QChar c) { return c.isSpace(); });
    return text.toUpper();
}

QString maskedSerial(const QString &serial)
{
    if (serial == kMissing)
        return serial;
    const qsizetype n = serial.size();
    const qsizetype keep = n >= 10 ? 3 : n >= 6 ? 2 : n >= 3 ? 1 : 0;
    return serial.left(keep) + QString(n - 2 * keep, u'*') + serial.right(keep);
}

CrossCheckResult trapChecks(const DeviceIdentity &identity, const QList<DeviceSection> &sections,
                            const QString &caseSerial)
{
    CrossCheckResult out;
    auto add = [&](QString label, QString result, QString detail, DeviceStatus status) {
        out.checks.append(CrossCheck{std::move(label), std::move(result), std::move(detail), status});
    };
    auto problem = [&](const QString &issue, int penalty) {
        if (!issue.isEmpty())
            out.issues << issue;
        out.penalty += penalty;
    };

    // Remote management: a Mac registered to an organisation enrols itself again after every erase.
    const DeviceMetric *dep = find(sections, u"management", u"dep"_s);
    const DeviceMetric *mdm = find(sections, u"management", u"mdm"_s);
    if (dep && dep->value == u"已登记") {
        add(u"设备管理登记"_s, u"已登记（DEP）"_s, u"登记在机构名下，抹盘后会自动重新受其管理，须由原机构释放"_s,
            DeviceStatus::bad);
        problem(u"这台 Mac 登记在机构的设备管理中（DEP），抹盘重装后仍会被重新接管"_s, 30);
    } else if (mdm && mdm->value.startsWith(u"已注册"_s)) {
        add(u"设备管理登记"_s, u"已注册 MDM"_s, u"正受机构远程管理，可被远程锁定或抹掉"_s, DeviceStatus::bad);
        problem(u"这台 Mac 正受机构远程管理（MDM），可被远程锁定或抹掉"_s, 15);
    } else if (!dep || !mdm || dep->value == kUnreadable || mdm->value == kUnreadable) {
        add(u"设备管理登记"_s, kUnreadable, u"可在「系统设置 › 隐私与安全性 › 描述文件」中查看"_s, DeviceStatus::warn);
    } else {
        add(u"设备管理登记"_s, u"未登记"_s, u"不受机构远程管理"_s, DeviceStatus::ok);
    }

    // Firmware password: without it there is no recovery, no erase and no other startup disk.
    const DeviceMetric *firmware = find(sections, u"management", u"firmwarepw"_s);
    if (!firmware) {
        add(u"固件密码"_s, kUnreadable, u"读不到固件密码状态"_s, DeviceStatus::warn);
    } else {
        add(u"固件密码"_s, firmware->value, firmware->detail.value_or(QString()), firmware->status);
        if (firmware->value == u"已设置")
            problem(u"设有固件密码：没有密码无法进入恢复模式或抹盘，须让卖家当面移除"_s, 15);
    }

    // Battery condition as the system judges it.
    const DeviceMetric *condition = find(sections, u"battery", u"condition"_s);
    if (condition) {
        add(u"电池状态"_s, condition->value, condition->detail.value_or(QString()), condition->status);
        if (condition->status == DeviceStatus::bad)
            problem(u"系统提示电池需要维修或更换（"_s + condition->value + u"）"_s, 10);
        else if (condition->status == DeviceStatus::warn && condition->value != kUnreadable)
            problem({}, 5);
    } else if (DeviceRules::isDesktop(identity.modelName)) {
        add(u"电池状态"_s, u"无电池"_s, u"台式机不配电池"_s, DeviceStatus::info);
    } else {
        add(u"电池状态"_s, kUnreadable, u"读不到系统的电池状态"_s, DeviceStatus::warn);
    }

    // The serial printed on the case against the one the logic board reports.
    const QString typed = normalisedSerial(caseSerial);
    if (typed.isEmpty()) {
        add(u"机身序列号核对"_s, u"未核对"_s, u"输入机身底部或包装盒上的序列号即可核对"_s, DeviceStatus::info);
    } else if (typed == normalisedSerial(identity.serial)) {
        add(u"机身序列号核对"_s, u"一致"_s, u"机身与系统序列号相同"_s, DeviceStatus::ok);
    } else {
        add(u"机身序列号核对"_s, u"不一致"_s,
            u"机身 "_s + typed + u" / 系统 "_s + identity.serial + u"，主板可能不属于这台机身"_s, DeviceStatus::bad);
        problem(u"机身序列号与系统序列号不一致，主板可能被更换过"_s, 25);
    }
    return out;
}

} // namespace DeviceTraps
