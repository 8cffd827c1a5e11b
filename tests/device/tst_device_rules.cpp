// The device check's rules over tool output in the tools' own formats.

#include "device/DeviceRules.h"
#include "device/DeviceSummary.h"
#include "device/DeviceTraps.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using namespace DeviceRules;

namespace {

const QString dash = u"\u2014"_s;

QString hardwareReport(const QStringList &lines)
{
    QString text = u"Hardware:\n\n    Hardware Overview:\n\n"_s;
    for (const QString &line : lines)
        text += u"      "_s + line + u'\n';
    return text + u'\n';
}

// The battery entry as ioreg prints it, from "Key=value Key=value"; empty pairs: no battery.
QString ioregBattery(const QString &pairs)
{
    if (pairs.isEmpty())
        return {};
    QString text =
        u"+-o AppleSmartBattery  <class AppleSmartBattery, id 0x100000a3c, registered, matched, active, busy 0 (0 ms), retain 7>\n    {\n"_s;
    for (const QString &pair : pairs.split(u' '))
        text += u"      \"%1\" = %2\n"_s.arg(pair.section(u'=', 0, 0), pair.section(u'=', 1));
    return text + u"    }\n"_s;
}

QString diskInfo(const QString &size)
{
    return u"   Device Identifier:         disk0\n   SMART Status:              Verified\n\n   Disk Size:                 "_s +
        size +
        u" (500277790720 Bytes) (exactly 977105060 512-Byte-Units)\n   Device Block Size:         4096 Bytes\n"_s;
}

QString partitionLine(int index, const QString &container, const QString &size, const QString &id)
{
    return u"   %1:                 Apple_APFS Container %2         %3   %4\n"_s.arg(index).arg(container, size, id);
}

QString diskZero(const QString &body)
{
    return u"/dev/disk0 (internal, physical):\n   #:                       TYPE NAME                    SIZE       IDENTIFIER\n"
           u"   0:      GUID_partition_scheme                        *500.3 GB   disk0\n"_s +
        body + u'\n';
}

// disk0 holding the given APFS containers (name, size) as its partitions 1, 2, ...
QString onDisk0(const QList<std::pair<QString, QString>> &containers)
{
    QString body;
    for (int i = 0; i < containers.size(); ++i)
        body += partitionLine(i + 1, containers[i].first, containers[i].second, u"disk0s%1"_s.arg(i + 2));
    return diskZero(body);
}

const QString rootOnDisk3 = u"/dev/disk3s1s1   239362496 10053204 149877468     7%  404167 1498774680    0%   /\n"_s;

QStringList values(const DeviceSection &section)
{
    QStringList out;
    for (const DeviceMetric &m : section.metrics)
        out << m.key + u'=' + m.value + u'|' + m.detail.value_or(u"-"_s) + u'|' + statusText(m.status);
    return out;
}

// value|detail|status of a row; empty when there is none.
QString text(const DeviceMetric *m)
{
    return m ? m->value + u'|' + m->detail.value_or(QString()) + u'|' + statusText(m->status) : QString();
}

// What the cross-checks read: the tools' outputs, the sections built before them and the typed case serial.
struct Machine : CrossCheckInputs
{
    QList<DeviceSection> sections;
    QString caseSerial;
};

// A power report of a laptop whose battery health lines are `health`.
QString powerReport(const QString &health)
{
    return u"Power:\n\n    Battery Information:\n\n      Model Information:\n          Serial Number: F5D3\n"
           u"      Health Information:\n"_s +
        health + u"      Battery Installed: Yes\n\n    System Power Settings:\n\n"_s;
}

// A battery section with the condition row read from a power report's "Condition:" line.
DeviceSection batteryWithCondition(const QString &condition)
{
    DeviceSection battery{u"battery"_s, u"电池"_s, u"bolt"_s, {}};
    if (auto row = DeviceTraps::conditionMetric(powerReport(u"          Condition: "_s + condition + u'\n'), true))
        battery.metrics << *row;
    return battery;
}

// The management section from the tools' outputs.
DeviceSection management(const QString &profiles, const QString &firmwarepasswd = {})
{
    return DeviceTraps::managementSection(profiles,
                                          firmwarepasswd.isEmpty() ? DeviceTraps::firmwareNotApplicable()
                                                                   : DeviceTraps::firmwareMetric(firmwarepasswd));
}

const QString notEnrolled = u"Enrolled via DEP: No\nMDM enrollment: No\n"_s;

// A machine where every cross-check passes.
std::pair<DeviceIdentity, Machine> healthyMachine()
{
    const DeviceIdentity id{.modelId = u"Mac14,2"_s,
                            .chip = u"Apple M2"_s,
                            .memory = u"8 GB"_s,
                            .serial = u"K7QX2M4HV9"_s,
                            .modelNumber = u"MLY33CH/A"_s,
                            .hwUUID = u"5E3A"_s};
    Machine in;
    in.sections = {batteryWithCondition(u"Normal"_s), management(notEnrolled)};
    in.ioreg = ioregBattery(u"DesignCapacity=4382 Serial=\"F5D3214567XQ7NCAT\""_s);
    in.nvme = u"          Serial Number: 0ba01a2b3c4d5e6f\n"_s;
    in.diskInfo = diskInfo(u"251.0 GB"_s);
    in.csrutilStatus = u"System Integrity Protection status: enabled.\n"_s;
    return {id, in};
}

// A change to the healthy machine's identity and inputs.
using Change = void (*)(DeviceIdentity &, Machine &);

} // namespace

Q_DECLARE_METATYPE(Change)

class TestDeviceRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // field, intField and parseToGB; "none" when nothing is extracted.
    void extractors_data()
    {
        QTest::addColumn<QString>("extractor");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        const auto add = [](const char *name, const char *extractor, const QString &text, const QString &key,
                            const QString &expected) {
            QTest::newRow(name) << QString::fromLatin1(extractor) << text << key << expected;
        };
        add("padded value", "field", u"    \tModel Name:\tMacBook Air  \t\n"_s, u"Model Name"_s, u"MacBook Air"_s);
        add("prefix of label", "field", u"      Model Name: MacBook Air\n"_s, u"Model"_s, u"none"_s);
        add("first of two", "field", u"Memory: 8 GB\nMemory: 16 GB\n"_s, u"Memory"_s, u"8 GB"_s);
        add("empty value", "field", u"Chip:\n"_s, u"Chip"_s, QString());
        add("negative is not a count", "int", u"\"CycleCount\" = -1"_s, u"CycleCount"_s, u"none"_s);
        add("packed in a dictionary", "int", u"{\"CycleCount\"=87,\"DesignCapacity\"=4382}"_s, u"DesignCapacity"_s,
            u"4382"_s);
        add("longer key does not match", "int", u"\"AppleRawMaxCapacity\" = 4123\n\"MaxCapacity\" = 100"_s,
            u"MaxCapacity"_s, u"100"_s);
        add("overflow", "int", u"\"Big\" = 99999999999999999999999"_s, u"Big"_s, u"none"_s);
        add("TB", "GB", u"2 TB"_s, {}, u"2048"_s);
        add("KB", "GB", u"1048576 KB"_s, {}, u"1"_s);
        add("GB decimal, extra spaces", "GB", u"  500.3   GB "_s, {}, u"500.3"_s);
        add("no unit", "GB", u"500"_s, {}, u"none"_s);
        add("lower-case unit", "GB", u"1 tb"_s, {}, u"none"_s);
    }
    void extractors()
    {
        QFETCH(QString, extractor);
        QFETCH(QString, text);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        std::optional<QString> got;
        if (extractor == u"field")
            got = DeviceRules::field(text, key);
        else if (const auto n = extractor == u"int" ? DeviceRules::intField(text, key) : std::nullopt)
            got = QString::number(*n);
        else if (const auto gb = extractor == u"GB" ? DeviceRules::parseToGB(text) : std::nullopt)
            got = QString::number(*gb);
        QCOMPARE(got.value_or(u"none"_s), expected);
    }

    void identity_data()
    {
        QTest::addColumn<QString>("cached");
        QTest::addColumn<QString>("live");
        QTest::addColumn<QString>("fields");
        // Firmware and activation lock come from the live report when it has them.
        QTest::newRow("Apple Silicon")
            << hardwareReport({u"Model Name: MacBook Air"_s, u"Model Identifier: Mac14,2"_s,
                               u"Model Number: MLY33CH/A"_s, u"Chip: Apple M2"_s,
                               u"Total Number of Cores: 8 (4 performance and 4 efficiency)"_s, u"Memory: 8 GB"_s,
                               u"System Firmware Version: 10151.81.1"_s, u"Serial Number (system): K7QX2M4HV9"_s,
                               u"Hardware UUID: 5E3A1C2D"_s, u"Provisioning UDID: 00008112-001A2B3C4D5E601E"_s,
                               u"Activation Lock Status: Enabled"_s})
            << hardwareReport({u"System Firmware Version: 10151.101.3"_s, u"Activation Lock Status: Disabled"_s})
            << u"MacBook Air|Mac14,2|Apple M2|8 (4 performance and 4 efficiency)|8 GB|K7QX2M4HV9|MLY33CH/A|"
               u"10151.101.3|5E3A1C2D|00008112-001A2B3C4D5E601E|Disabled"_s;
        QTest::newRow("Intel, live report without lock")
            << hardwareReport({u"Model Name: Mac mini"_s, u"Processor Name: 6-Core Intel Core i7"_s,
                               u"Serial Number: C07ZK3M8JYVX"_s, u"Activation Lock Status: Enabled"_s})
            << hardwareReport({u"Model Name: Mac mini"_s})
            << u"Mac mini|—|6-Core Intel Core i7|—|—|C07ZK3M8JYVX|—|—|—|—|Enabled"_s;
        QTest::newRow("nothing readable") << QString() << QString() << u"Mac|—|—|—|—|—|—|—|—|—|—"_s;
    }
    void identity()
    {
        QFETCH(QString, cached);
        QFETCH(QString, live);
        QFETCH(QString, fields);
        const DeviceIdentity id = identityFrom(cached, live);
        QCOMPARE((QStringList{id.modelName, id.modelId, id.chip, id.cores, id.memory, id.serial, id.modelNumber,
                              id.firmware, id.hwUUID, id.udid, id.activationLock})
                     .join(u'|'),
                 fields);
    }

    void audit_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<double>("actual"); // -1: unreadable
        QTest::addColumn<QString>("expected"); // verdict|status|detail
        QTest::newRow("256 at 268") << u"MLY33CH/A"_s << 268.0
                                    << u"与出厂配置一致|ok|MacBook Air 13-inch M2，官方 256GB / 实测 268GB。"_s;
        QTest::newRow("256 at 270")
            << u"MLY33CH/A"_s << 270.0
            << u"疑似扩容|bad|官方出厂配置为 256GB，实测物理盘 270GB（约 1.1 倍）。硬盘被更换为更大容量，非原装。"_s;
        QTest::newRow("512 at 487") << u"MKGP3CH/A"_s << 487.0
                                    << u"与出厂配置一致|ok|MacBook Pro 14-inch M1 Pro，官方 512GB / 实测 487GB。"_s;
        QTest::newRow("512 at 486")
            << u"MKGP3CH/A"_s << 486.0
            << u"容量异常偏小|warn|官方出厂配置为 512GB，实测仅 486GB。可能换过更小的硬盘，或存在未分配空间。"_s;
        QTest::newRow("lower case with suffix")
            << u"mly33ch/a"_s << 251.0 << u"与出厂配置一致|ok|MacBook Air 13-inch M2，官方 256GB / 实测 251GB。"_s;
        QTest::newRow("unreadable size")
            << u"MLY33CH/A"_s << -1.0
            << u"容量异常偏小|warn|官方出厂配置为 256GB，实测仅 0GB。可能换过更小的硬盘，或存在未分配空间。"_s;
        QTest::newRow("short model")
            << u"MLY3"_s << 256.0
            << u"未收录该型号|info|型号 MLY3 不在内置对照表中，无法判断是否扩容。可到 Apple 官网按型号核对出厂配置。"_s;
    }
    void audit()
    {
        QFETCH(QString, model);
        QFETCH(double, actual);
        QFETCH(QString, expected);
        const auto size = actual < 0 ? std::nullopt : std::optional<double>(actual);
        const CapacityAudit a = auditCapacity(model, size, u"8 GB"_s);
        QCOMPARE(a.verdict + u'|' + statusText(a.status) + u'|' + a.detail, expected);
    }

    void layout_data()
    {
        QTest::addColumn<QString>("info");
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("root");
        QTest::addColumn<QString>("expected"); // verdict|detail|status|containers, the system one starred
        const QString single = u"结构正常|单一容器，占用 %1 全部容量。|ok|disk3*"_s;
        QTest::newRow("duplicate container line")
            << diskInfo(u"500.3 GB"_s) << onDisk0({{u"disk3"_s, u"480.0 GB"_s}, {u"disk3"_s, u"480.0 GB"_s}})
            << rootOnDisk3 << single.arg(u"500.3 GB"_s);
        QTest::newRow("ratio 0.4")
            << diskInfo(u"500 GB"_s) << onDisk0({{u"disk3"_s, u"200 GB"_s}}) << rootOnDisk3
            << u"系统盘小于物理容量|系统容器 200 GB / 物理盘 500 GB，可能有未分配空间或被隐藏分区。|warn|disk3*"_s;
        QTest::newRow("ratio 0.85 exactly") << diskInfo(u"1000 GB"_s) << onDisk0({{u"disk3"_s, u"850 GB"_s}})
                                            << rootOnDisk3 << single.arg(u"1000 GB"_s);
        QTest::newRow("unreadable size") << u"   SMART Status:  Verified\n"_s << onDisk0({{u"disk3"_s, u"450 GB"_s}})
                                         << rootOnDisk3 << single.arg(dash);
        QTest::newRow("no containers, readable size")
            << diskInfo(u"500.3 GB"_s) << QString() << rootOnDisk3
            << u"系统盘小于物理容量|系统容器 0 GB / 物理盘 500.3 GB，可能有未分配空间或被隐藏分区。|warn|"_s;
        // Containers on other disks are not partitions of the internal one.
        QTest::newRow("external disk ignored") << diskInfo(u"500.3 GB"_s)
                                               << onDisk0({{u"disk3"_s, u"500.0 GB"_s}}) +
                u"/dev/disk2 (external, physical):\n"_s + partitionLine(1, u"disk4"_s, u"2.0 TB"_s, u"disk2s2"_s)
                                               << rootOnDisk3 << single.arg(u"500.3 GB"_s);
        // Newer systems wrap names in invisible direction marks.
        QTest::newRow("direction marks")
            << diskInfo(u"251.0 GB"_s)
            << diskZero(u"   2:                 Apple_APFS \u2068Container disk3\u2069         245.1 GB   disk0s2\n"
                        u"   1:             Apple_APFS_ISC \u2066Container disk1\u2067         524.3 MB   disk0s1\n"_s)
            << rootOnDisk3 << single.arg(u"251.0 GB"_s);
        // Two containers; the root on disk13 is not on disk1.
        QTest::newRow("similar names")
            << diskInfo(u"500 GB"_s) << onDisk0({{u"disk1"_s, u"250 GB"_s}, {u"disk13"_s, u"249 GB"_s}})
            << u"/dev/disk13s1 1 1 1 1% 1 1 0% /\n"_s
            << u"检测到 2 个 APFS 容器|系统装在 disk13（249 GB），另有 disk1 250 GB。物理盘共 500 GB，说明磁盘被手工分区或装过第二个系统。|warn|disk1 disk13*"_s;
    }
    void layout()
    {
        QFETCH(QString, info);
        QFETCH(QString, list);
        QFETCH(QString, root);
        QFETCH(QString, expected);
        const DiskLayout l = diskLayoutFrom(info, list, root);
        QStringList names;
        for (const ApfsContainer &c : l.containers)
            names << c.name + (c.isSystem ? u"*"_s : u""_s);
        QCOMPARE(QStringList({l.verdict, l.detail, statusText(l.status), names.join(u' ')}).join(u'|'), expected);
        QCOMPARE(l.isPartitioned, names.size() >= 2);
    }

    void battery_data()
    {
        QTest::addColumn<QString>("properties");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("full charge when nominal is 0, below 75 is bad")
            << u"NominalChargeCapacity=0 FullChargeCapacity=3500 DesignCapacity=5000"_s
            << QStringList{u"health=70%|3500 mAh / 设计 5000 mAh|bad"_s};
        QTest::newRow("74.5 rounds to 75") << u"NominalChargeCapacity=3725 DesignCapacity=5000"_s
                                           << QStringList{u"health=75%|3725 mAh / 设计 5000 mAh|warn"_s};
        QTest::newRow("84.4 is warn") << u"NominalChargeCapacity=4220 DesignCapacity=5000"_s
                                      << QStringList{u"health=84%|4220 mAh / 设计 5000 mAh|warn"_s};
        QTest::newRow("84.5 is ok") << u"NominalChargeCapacity=4225 DesignCapacity=5000"_s
                                    << QStringList{u"health=85%|4225 mAh / 设计 5000 mAh|ok"_s};
        // Apple silicon: MaxCapacity is a percentage and must not be read as mAh.
        QTest::newRow("percentage MaxCapacity ignored")
            << u"MaxCapacity=100 DesignCapacity=4382 CycleCount=200"_s << QStringList{u"cycle=200 次|轻度使用|ok"_s};
        // Older machines report only MaxCapacity, in mAh.
        QTest::newRow("mAh MaxCapacity used")
            << u"MaxCapacity=4212 DesignCapacity=5103 CycleCount=201"_s
            << QStringList{u"health=83%|4212 mAh / 设计 5103 mAh|warn"_s, u"cycle=201 次|正常范围|warn"_s};
        QTest::newRow("cycles 500 and hot")
            << u"CycleCount=500 Temperature=4600"_s
            << QStringList{u"cycle=500 次|正常范围|warn"_s, u"temp=46.0°C|偏高，可能在快充|warn"_s};
        QTest::newRow("cycles 501 and warm")
            << u"CycleCount=501 Temperature=4050"_s
            << QStringList{u"cycle=501 次|偏高，属正常老化|bad"_s, u"temp=40.5°C|偏高，可能在快充|ok"_s};
        QTest::newRow("normal temperature") << u"Temperature=3012"_s << QStringList{u"temp=30.1°C|正常|ok"_s};
        QTest::newRow("desktop") << QString() << QStringList{u"none=无法读取|可能为台式机或电池信息不可用|info"_s};
    }
    void battery()
    {
        QFETCH(QString, properties);
        QFETCH(QStringList, rows);
        QCOMPARE(values(batteryFrom(ioregBattery(properties))), rows);
    }

    // "profiles status -type enrollment" as macOS prints it: "dep" and "mdm" as value|status.
    void enrollment_data()
    {
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("dep");
        QTest::addColumn<QString>("mdm");
        QTest::newRow("MDM not user approved")
            << u"Enrolled via DEP: No\nMDM enrollment: Yes\n"_s << u"未登记|ok"_s << u"已注册|bad"_s;
        QTest::newRow("10.13.0-10.13.3, profile installed")
            << u"An enrollment profile is currently installed on this system\n"_s << u"无法读取|warn"_s
            << u"已注册|bad"_s;
        QTest::newRow("10.13.0-10.13.3, none installed")
            << u"There is no enrollment profile installed on this system\n"_s << u"未登记|ok"_s << u"未注册|ok"_s;
        QTest::newRow("usage text") << u"Usage: profiles <command> [options]\n"_s << u"无法读取|warn"_s
                                    << u"无法读取|warn"_s;
    }
    void enrollment()
    {
        QFETCH(QString, output);
        QFETCH(QString, dep);
        QFETCH(QString, mdm);
        const QList<DeviceMetric> rows = DeviceTraps::enrollmentMetrics(output);
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[0].key + u'=' + rows[0].value + u'|' + statusText(rows[0].status), u"dep="_s + dep);
        QCOMPARE(rows[1].key + u'=' + rows[1].value + u'|' + statusText(rows[1].status), u"mdm="_s + mdm);
    }

    // The power report's battery condition across versions; empty expected: no row.
    void condition_data()
    {
        QTest::addColumn<QString>("report");
        QTest::addColumn<bool>("battery");
        QTest::addColumn<QString>("row");
        QTest::newRow("Sonoma, normal") << powerReport(u"          Cycle Count: 112\n          Condition: Normal\n"
                                                       u"          Maximum Capacity: 94%\n"_s)
                                        << true << u"正常|系统认为电池工作正常，系统显示最大容量 94%|ok"_s;
        QTest::newRow("no-break space before %")
            << powerReport(u"          Condition: Service Recommended\n          Maximum Capacity: 78\u00a0%\n"_s)
            << true << u"建议维修|系统建议送修电池，系统显示最大容量 78%|bad"_s;
        QTest::newRow("Monterey, no capacity line")
            << powerReport(u"          Cycle Count: 812\n          Condition: Replace Soon\n"_s) << true
            << u"即将需要更换|电池已明显老化|warn"_s;
        QTest::newRow("Sierra's name, other case")
            << powerReport(u"          Condition: Service battery \n"_s) << true << u"建议维修|系统建议送修电池|bad"_s;
        QTest::newRow("laptop, report missing") << QString() << true << u"无法读取|读不到系统的电池状态|warn"_s;
        QTest::newRow("desktop") << u"Power:\n\n    System Power Settings:\n\n      AC Power:\n"_s << false
                                 << QString();
    }
    void condition()
    {
        QFETCH(QString, report);
        QFETCH(bool, battery);
        QFETCH(QString, row);
        QCOMPARE(DeviceTraps::hasBattery(report, {}), battery && !report.isEmpty());
        const auto metric = DeviceTraps::conditionMetric(report, battery);
        QCOMPARE(text(metric ? &*metric : nullptr), row);
    }

    void storage_data()
    {
        QTest::addColumn<QString>("info");
        QTest::addColumn<QString>("byNode");
        QTest::addColumn<QString>("df");
        QTest::addColumn<QString>("rows"); // the SMART row, then the free-space one (empty: none)
        QTest::newRow("verified, plenty")
            << diskInfo(u"500.3 GB"_s) << QString()
            << u"Filesystem 1024-blocks Used Available Capacity iused ifree %iused Mounted on\n/dev/disk3s1s1 1 1 149877468 7% 1 1 0% /\n"_s
            << u"Verified|硬盘自检通过|ok\n143 GB|充足|ok"_s;
        QTest::newRow("not supported, 15 GB")
            << u"SMART Status: Not Supported\nDisk Size: 251.0 GB (251000193024 Bytes)\n"_s << QString()
            << u"/dev/disk3s1s1 1 1 15728640 7% 1 1 0% /\n"_s
            << u"Not Supported|该机型不上报，参考其他项|warn\n15 GB|偏少，建议清理|ok"_s;
        QTest::newRow("SMART from device node, 9 GB")
            << u"Disk Size: 251.0 GB\n"_s << u"   SMART Status:   Failing\n"_s
            << u"/dev/disk3s1s1 1 1 9437184 7% 1 1 0% /\n"_s << u"Failing|需要关注|warn\n9 GB|偏少，建议清理|warn"_s;
        QTest::newRow("no SMART, short df line")
            << u""_s << u""_s << u"/dev/disk3s1s1 1 1\n"_s << u"—|需要关注|warn\n"_s;
    }
    void storage()
    {
        QFETCH(QString, info);
        QFETCH(QString, byNode);
        QFETCH(QString, df);
        QFETCH(QString, rows);
        int nodeRuns = 0;
        const auto smartByNode = [&] {
            ++nodeRuns;
            return byNode;
        };
        const QString nvme = u"          Model: APPLE SSD AP0256Z\n          Serial Number: 0ba01a2b3c4d5e6f\n"_s;
        const DeviceSection s = storageFrom(info, smartByNode, nvme, diskLayoutFrom(info, {}, {}), df);
        QCOMPARE(text(s.metric(u"smart"_s)) + u'\n' + text(s.metric(u"free"_s)), rows);
        QCOMPARE(nodeRuns, info.contains(u"SMART Status"_s) ? 0 : 1);
    }

    void securityStates_data()
    {
        QTest::addColumn<QString>("csrutil");
        QTest::addColumn<QString>("firewall");
        QTest::addColumn<QString>("expected"); // SIP row|the cross-check's result|firewall row
        QTest::newRow("enabled, state 1") << u"System Integrity Protection status: enabled.\n"_s
                                          << u"Firewall is enabled. (State = 1)\n"_s << u"已开启|未被改动|已开启"_s;
        QTest::newRow("disabled, state 2 is the strictest")
            << u"System Integrity Protection status: disabled.\n"_s
            << u"Firewall is blocking all non-essential incoming connections. (State = 2)\n"_s
            << u"已关闭|已被关闭|已开启"_s;
        QTest::newRow("custom with enabled items, state 0")
            << u"System Integrity Protection status: enabled (Custom Configuration).\n\nConfiguration:\n\tApple Internal: disabled\n"
               u"\tKext Signing: enabled\n\tFilesystem Protections: disabled\n"_s
            << u"Firewall is disabled. (State = 0)\n"_s << u"已关闭|已被关闭|未开启"_s;
        QTest::newRow("unknown custom, no state")
            << u"System Integrity Protection status: unknown (Custom Configuration).\n\nConfiguration:\n\tKext Signing: enabled\n"_s
            << u"Firewall is enabled.\n"_s << u"已关闭|已被关闭|已开启"_s;
        // No answer (a tool that hung, failed or printed no text) proves nothing either way.
        QTest::newRow("empty") << QString() << QString() << u"无法读取|无法读取|无法读取"_s;
        QTest::newRow("white space") << u" \n"_s << u"\n"_s << u"无法读取|无法读取|无法读取"_s;
    }
    void securityStates()
    {
        QFETCH(QString, csrutil);
        QFETCH(QString, firewall);
        QFETCH(QString, expected);
        const DeviceSection s = securityFrom(csrutil, {}, firewall, {});
        const CrossCheckResult r = crossChecksFrom({}, {.csrutilStatus = csrutil});
        const QString sip = s.metric(u"sip"_s)->value;
        const DeviceMetric *fw = s.metric(u"firewall"_s);
        QCOMPARE(QStringList({sip, r.checks.last().result, fw->value}).join(u'|'), expected);
        QCOMPARE(fw->status, fw->value == u"已开启"_s ? DeviceStatus::ok : DeviceStatus::warn);
        QCOMPARE(sipEnabled(csrutil), sip == u"已开启"_s);
        QCOMPARE(r.issues.contains(u"系统完整性保护（SIP）被关闭，可能被修改过系统"_s), sip == u"已关闭"_s);
    }

    // Each row that costs points: a change to the healthy machine, the check rows (one a line), the penalty and
    // issues expected. The sample Macs' reports hold the expanded and partitioned disk, DEP, the firmware password
    // and the battery flagged for service.
    void crossCheckPenalties_data()
    {
        QTest::addColumn<Change>("change");
        QTest::addColumn<QString>("row");
        QTest::addColumn<int>("penalty");
        QTest::addColumn<QString>("issue");
        const auto add = [](const char *name, const QString &row, int penalty, const QString &issue, Change change) {
            QTest::newRow(name) << change << row << penalty << issue;
        };
        add("healthy",
            u"多码可读=3/3|ok\n设备管理登记=未登记|ok\n固件密码=不适用|info\n电池状态=正常|ok\n机身序列号核对=未核对|info"_s,
            0, {}, [](auto &, auto &) {});
        add("short serial", u"序列号格式=无法识别|warn"_s, 0, {}, [](auto &id, auto &) { id.serial = u"C02X"_s; });
        add("chip contradicts model", u"机型与芯片=存在矛盾|bad"_s, 25, u"机型标识与芯片信息不一致，可能被改写过"_s,
            [](auto &id, auto &) { id.modelId = u"iMacPro1,1"_s; });
        add("iMac identifier is consistent", u"机型与芯片=匹配|ok"_s, 0, {},
            [](auto &id, auto &) { id.modelId = u"iMac21,1"_s; });
        add("Intel never contradicts", u"机型与芯片=匹配|ok"_s, 0, {}, [](auto &id, auto &) {
            id.modelId = u"Book8,1"_s;
            id.chip = u"Quad-Core Intel Core i5"_s;
        });
        add("disk serial missing", u"多码可读=2/3|warn"_s, 8, u"有硬件序列号无法读取，可能被更换过（电池 / 硬盘）"_s,
            [](auto &, auto &in) { in.nvme.clear(); });
        add("no UUID", u"硬件 UUID=未读取|warn"_s, 0, {}, [](auto &id, auto &) { id.hwUUID = dash; });
        add("activation lock", u"Apple ID 激活锁=已开启|warn"_s, 8, {},
            [](auto &id, auto &) { id.activationLock = u"Enabled"_s; });
        add("battery serial on older machines", u"电池来源=原厂可读|ok"_s, 0, {}, [](auto &, auto &in) {
            in.ioreg = ioregBattery(u"DesignCapacity=5103 BatterySerialNumber=\"D865033Y2CXF9CPAD\""_s);
        });
        add("desktop: two serials, no battery", u"多码可读=2/2|ok\n电池来源=无电池|info\n电池状态=无电池|info"_s, 0, {},
            [](auto &id, auto &in) {
                id.modelName = u"iMac Pro"_s;
                in.ioreg.clear();
                in.sections.removeFirst();
            });
        add("desktop disk serial missing", u"多码可读=1/2|warn"_s, 8, u"有硬件序列号无法读取，可能被更换过（硬盘）"_s,
            [](auto &id, auto &in) {
                id.modelName = u"Mac Studio"_s;
                in.ioreg.clear();
                in.nvme.clear();
            });
        add("laptop without battery", u"电池来源=需确认|warn"_s, 8 + 10,
            u"有硬件序列号无法读取，可能被更换过（电池 / 硬盘）|无法读取电池序列号，电池可能为非原厂"_s,
            [](auto &id, auto &in) {
                id.modelName = u"MacBook Pro"_s;
                in.ioreg.clear();
            });
        add("small design capacity", u"电池来源=需确认|warn"_s, 10, u"无法读取电池序列号，电池可能为非原厂"_s,
            [](auto &, auto &in) { in.ioreg = ioregBattery(u"DesignCapacity=1000 Serial=\"F5D3\""_s); });
        add("shrunk disk", u"出厂容量=容量异常偏小|warn"_s, 12, u"实测容量小于出厂配置，可能换过硬盘或存在隐藏分区"_s,
            [](auto &, auto &in) { in.diskInfo = diskInfo(u"128.0 GB"_s); });
        add("memory differs", u"内存配置=与出厂不符|warn"_s, 0, {}, [](auto &id, auto &) { id.memory = u"16 GB"_s; });
        // The trap checks, after the standing ones.
        add("MDM without DEP", u"设备管理登记=已注册 MDM|bad"_s, 15,
            u"这台 Mac 正受机构远程管理（MDM），可被远程锁定或抹掉"_s, [](auto &, auto &in) {
                in.sections[1] = management(u"Enrolled via DEP: No\nMDM enrollment: Yes (User Approved)\n"_s);
            });
        add("management unreadable", u"设备管理登记=无法读取|warn"_s, 0, {},
            [](auto &, auto &in) { in.sections[1] = management({}); });
        add("no management section", u"设备管理登记=无法读取|warn"_s, 0, {},
            [](auto &, auto &in) { in.sections.removeLast(); });
        add("firmware not checked yet", u"固件密码=未检查|info"_s, 0, {}, [](auto &, auto &in) {
            in.sections[1] = DeviceTraps::managementSection(notEnrolled, DeviceTraps::firmwareUnchecked());
        });
        add("firmware unreadable", u"固件密码=无法读取|warn"_s, 0, {},
            [](auto &, auto &in) { in.sections[1] = management(notEnrolled, u"Must be run as root\n"_s); });
        add("battery replace soon", u"电池状态=即将需要更换|warn"_s, 5, {},
            [](auto &, auto &in) { in.sections[0] = batteryWithCondition(u"Replace Soon"_s); });
        add("battery condition unreadable", u"电池状态=无法读取|warn"_s, 0, {},
            [](auto &, auto &in) { in.sections[0] = batteryWithCondition(u"Fine"_s); });
        add("case serial typed with spaces, lower case", u"机身序列号核对=一致|ok"_s, 0, {},
            [](auto &, auto &in) { in.caseSerial = u" k7qx 2m4h\u00a0v9 "_s; });
        add("case serial of another board", u"机身序列号核对=不一致|bad"_s, 25,
            u"机身序列号与系统序列号不一致，主板可能被更换过"_s,
            [](auto &, auto &in) { in.caseSerial = u"C02ZK3M8JYVX"_s; });
        // Not even the model name: judged as a laptop; an unread SIP status costs nothing.
        add("nothing readable", u"多码可读=0/3|bad\n销售地区=未知|info\n系统完整性=无法读取|warn"_s, 8 + 10,
            u"有硬件序列号无法读取，可能被更换过（电池 / 硬盘）|无法读取电池序列号，电池可能为非原厂"_s,
            [](auto &id, auto &in) {
                id = {};
                in = {};
            });
        // A board without a serial (2/3 serials readable) is not the one the case was sold with.
        add("case serial, system serial unreadable", u"机身序列号核对=不一致|bad"_s, 8 + 25,
            u"有硬件序列号无法读取，可能被更换过（电池 / 硬盘）|机身序列号与系统序列号不一致，主板可能被更换过"_s,
            [](auto &id, auto &in) {
                id.serial = dash;
                in.caseSerial = u"K7QX2M4HV9"_s;
            });
    }
    void crossCheckPenalties()
    {
        QFETCH(Change, change);
        QFETCH(QString, row);
        QFETCH(int, penalty);
        QFETCH(QString, issue);
        auto [id, in] = healthyMachine();
        change(id, in);
        CrossCheckResult r = crossChecksFrom(id, in);
        const CrossCheckResult traps = DeviceTraps::trapChecks(id, in.sections, in.caseSerial);
        r.checks << traps.checks;
        r.issues << traps.issues;
        r.penalty += traps.penalty;
        QStringList rows;
        for (const CrossCheck &c : r.checks)
            rows << c.label + u'=' + c.result + u'|' + statusText(c.status);
        for (const QString &expected : row.split(u'\n'))
            QVERIFY2(rows.contains(expected), qPrintable(expected + u" not in:\n"_s + rows.join(u"\n"_s)));
        QCOMPARE(r.penalty, penalty);
        QCOMPARE(r.issues.join(u'|'), issue);
    }

    // The verdict and the score's colour have thresholds of their own (colour: 85 / 70).
    void score_data()
    {
        QTest::addColumn<int>("penalty");
        QTest::addColumn<QString>("battery");
        QTest::addColumn<QString>("expected"); // score|colour|verdict
        const auto battery = [](int cycles, int nominal) {
            return u"CycleCount=%1 NominalChargeCapacity=%2 DesignCapacity=5000"_s.arg(cycles).arg(nominal);
        };
        QTest::newRow("all in order") << 0 << battery(112, 4700) << u"100|ok|没有发现明显问题"_s;
        QTest::newRow("900 cycles, 70 %") << 0 << battery(900, 3500) << u"78|warn|整体正常，有几处值得留意"_s;
        QTest::newRow("800 cycles, 75 %") << 0 << battery(800, 3750) << u"90|ok|没有发现明显问题"_s;
        QTest::newRow("501 cycles, 84 %") << 0 << battery(501, 4200) << u"90|ok|没有发现明显问题"_s;
        QTest::newRow("85") << 15 << QString() << u"85|ok|整体正常，有几处值得留意"_s;
        QTest::newRow("84") << 16 << QString() << u"84|warn|整体正常，有几处值得留意"_s;
        QTest::newRow("77") << 23 << QString() << u"77|warn|存在需要处理的问题"_s;
        QTest::newRow("70") << 30 << QString() << u"70|warn|存在需要处理的问题"_s;
        QTest::newRow("69") << 31 << QString() << u"69|bad|存在需要处理的问题"_s;
        QTest::newRow("60") << 40 << QString() << u"60|bad|存在需要处理的问题"_s;
        QTest::newRow("59") << 41 << QString() << u"59|bad|问题较多，二手建议压价或放弃"_s;
        QTest::newRow("clamped") << 109 << battery(912, 3500) << u"0|bad|问题较多，二手建议压价或放弃"_s;
    }
    void score()
    {
        QFETCH(int, penalty);
        QFETCH(QString, battery);
        QFETCH(QString, expected);
        const DeviceSection section = batteryFrom(ioregBattery(battery));
        const int score = scoreFor(penalty, &section);
        QCOMPARE(QString::number(score) + u'|' + statusText(DeviceSummary::scoreLevel(score)) + u'|' +
                     verdictFor(score),
                 expected);
    }

    // The two capacity bars from section rows "key=value"; expected "share|text|caption|status".
    void capacityBars_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("rows");
        QTest::addColumn<QString>("bar");
        QTest::newRow("TB free, GB size")
            << u"storage"_s << u"free=1 TB,size=2048 GB"_s << u"0.50|50%|可用 1 TB / 共 2048 GB|info"_s;
        QTest::newRow("0.91 used is red")
            << u"storage"_s << u"free=45 GB,size=500 GB"_s << u"0.91|91%|可用 45 GB / 共 500 GB|bad"_s;
        QTest::newRow("0.90 used is not")
            << u"storage"_s << u"free=50 GB,size=500 GB"_s << u"0.90|90%|可用 50 GB / 共 500 GB|info"_s;
        QTest::newRow("nearly empty disk keeps a sliver")
            << u"storage"_s << u"free=499.9 GB,size=500 GB"_s << u"0.02|2%|可用 499.9 GB / 共 500 GB|info"_s;
        QTest::newRow("no free row") << u"storage"_s << u"size=500 GB"_s << u"0.00|\u2014||info"_s;
        QTest::newRow("unreadable size") << u"storage"_s << u"free=45 GB,size=\u2014"_s << u"0.00|\u2014||info"_s;
        QTest::newRow("battery 92") << u"battery"_s << u"health=92%,cycle=112 次"_s << u"0.92|92%|循环 112 次|ok"_s;
        QTest::newRow("battery 84") << u"battery"_s << u"health=84%,cycle=480 次"_s << u"0.84|84%|循环 480 次|warn"_s;
        QTest::newRow("battery 74") << u"battery"_s << u"health=74%"_s << u"0.74|74%|\u2014|bad"_s;
        QTest::newRow("no battery") << u"battery"_s << u"none=无法读取"_s << u"0.00|\u2014|\u2014|info"_s;
    }
    void capacityBars()
    {
        QFETCH(QString, section);
        QFETCH(QString, rows);
        QFETCH(QString, bar);
        DeviceSection s{section, {}, {}, {}};
        for (const QString &pair : rows.split(u','))
            s.metrics.append({pair.section(u'=', 0, 0), {}, pair.section(u'=', 1), {}, DeviceStatus::info});
        const DeviceSummary::Bar b =
            section == u"storage" ? DeviceSummary::storageBar(&s) : DeviceSummary::batteryBar(&s);
        QCOMPARE(QString::number(b.share, 'f', 2) + u'|' + b.text + u'|' + b.caption + u'|' + statusText(b.status),
                 bar);
        QCOMPARE(b.available, b.text != dash);
    }

    // The report's end (the rest is held to the sample reports and the device page's copied report): a check
    // without detail has no parentheses, both speakers share a line, then the issues.
    void reportEnding()
    {
        DeviceSummary::HandsOn answers;
        answers.speakerLeft = u"正常"_s;
        answers.speakerRight = u"无声或有杂音"_s;
        const QString report = reportText({}, 90, {{u"无详情"_s, u"通过"_s, std::nullopt, DeviceStatus::ok}}, {},
                                          {u"A"_s, u"B"_s}, DeviceSummary::handsOnLines(answers));
        QVERIFY2(
            report.endsWith(
                u"· 无详情：通过\n\n【动手检查】\n  扬声器：左声道正常，右声道无声或有杂音\n\n需要注意：\n  · A\n  · B"_s),
            qPrintable(report));
    }
};

QTEST_GUILESS_MAIN(TestDeviceRules)
#include "tst_device_rules.moc"
