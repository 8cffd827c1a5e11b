#include "device/DeviceRules.h"

#include <QHash>
#include <QRegularExpression>
#include <QStringTokenizer>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace DeviceRules {

namespace {

bool isSpaceOrTab(QChar c)
{
    return c == u' ' || c == u'\t';
}

QStringView spacesTrimmed(QStringView text)
{
    while (!text.isEmpty() && isSpaceOrTab(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && isSpaceOrTab(text.back()))
        text.chop(1);
    return text;
}

// Compiling a pattern costs far more than matching it, and every check asks for the same few patterns again, so
// each thread keeps the ones it compiled. Keys come from the code; the bound only guards against a caller that
// builds keys from data.
const QRegularExpression &compiled(const QString &pattern)
{
    thread_local QHash<QString, QRegularExpression> cache;
    auto it = cache.constFind(pattern);
    if (it == cache.cend()) {
        if (cache.size() >= 64)
            cache.clear();
        it = cache.insert(pattern, QRegularExpression(pattern));
    }
    return *it;
}

QString firstCapture(const QString &text, const QString &pattern)
{
    const auto match = compiled(pattern).match(text);
    if (!match.hasMatch())
        return {};
    return trimSpaces(match.captured(1));
}

QString captureOr(const QString &text, const QString &pattern, const QString &fallback)
{
    const QString value = firstCapture(text, pattern);
    return value.isEmpty() ? fallback : value;
}

QString number(double value, const char *format)
{
    return QString::asprintf(format, value);
}

DeviceMetric metric(QString key, QString label, QString value, std::optional<QString> detail, DeviceStatus status)
{
    return DeviceMetric{std::move(key), std::move(label), std::move(value), std::move(detail), status};
}

// Sizes are shown truncated toward zero. A size no 64-bit integer holds (only a garbled tool output gives one) is
// printed as it is rather than converted, which would be undefined.
QString wholeGB(double gb)
{
    if (std::isfinite(gb) && std::abs(gb) < 9.0e18)
        return QString::number(static_cast<qint64>(gb));
    return QString::number(gb, 'f', 0);
}

// The container lines of the internal disk only: the block that starts at the "/dev/disk0" header and ends at
// the next disk header. A listing without any header is read whole.
QStringList internalDiskLines(const QString &diskList)
{
    const QStringList lines = stripDirectionMarks(diskList).split(u'\n', Qt::SkipEmptyParts);
    const bool hasHeaders =
        std::any_of(lines.begin(), lines.end(), [](const QString &l) { return l.startsWith(u"/dev/"); });
    if (!hasHeaders)
        return lines;
    const QRegularExpression &internalHeader = compiled(u"^/dev/disk0(\\s|\\(|:|$)"_s);
    QStringList block;
    bool inside = false;
    for (const QString &line : lines) {
        if (line.startsWith(u"/dev/")) {
            inside = internalHeader.match(line).hasMatch();
            continue;
        }
        if (inside)
            block << line;
    }
    return block;
}

// The size in the tokens after a container name: the first number (any "*" or "+" mark removed) followed by
// a unit token.
std::optional<double> containerSize(const QStringList &tokens)
{
    for (qsizetype i = 1; i + 1 < tokens.size(); ++i) {
        QString amount = tokens[i];
        amount.remove(u'*');
        amount.remove(u'+');
        bool ok = false;
        amount.toDouble(&ok);
        if (!ok)
            continue;
        if (auto gb = parseToGB(amount + u' ' + tokens[i + 1]))
            return gb;
    }
    return std::nullopt;
}

// A root device such as "/dev/disk3s1s1" belongs to container "disk3", but not to "disk1" when the root is
// on "disk13": the name must not be followed by another digit.
bool rootIsOn(const QString &rootDevice, const QString &container)
{
    qsizetype from = 0;
    while (true) {
        const qsizetype at = rootDevice.indexOf(container, from);
        if (at < 0)
            return false;
        const qsizetype after = at + container.size();
        if (after >= rootDevice.size() || !rootDevice[after].isDigit())
            return true;
        from = at + 1;
    }
}

std::optional<int> leadingInt(QString text, const QString &unit)
{
    text.remove(unit);
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

} // namespace

QString trimSpaces(const QString &text)
{
    return spacesTrimmed(text).toString();
}

QString stripDirectionMarks(QString text)
{
    text.remove(QChar(0x2066));
    text.remove(QChar(0x2067));
    text.remove(QChar(0x2068));
    text.remove(QChar(0x2069));
    return text;
}

std::optional<QString> field(const QString &text, const QString &key)
{
    // Walks the lines in place: a profiler report has hundreds, and each check reads a dozen fields.
    for (const QStringView raw : QStringTokenizer(text, u'\n', Qt::SkipEmptyParts)) {
        const QStringView line = spacesTrimmed(raw);
        if (line.startsWith(key) && line.sliced(key.size()).startsWith(u':'))
            return spacesTrimmed(line.sliced(key.size() + 1)).toString();
    }
    return std::nullopt;
}

std::optional<qint64> intField(const QString &text, const QString &key)
{
    const QRegularExpression &re = compiled(u'"' + key + u"\"\\s*=\\s*(\\d+)"_s);
    if (!re.isValid())
        return std::nullopt;
    const auto match = re.match(text);
    if (!match.hasMatch() || match.lastCapturedIndex() < 1)
        return std::nullopt;
    bool ok = false;
    const qint64 value = match.captured(1).toLongLong(&ok);
    return ok ? std::optional<qint64>(value) : std::nullopt;
}

std::optional<double> parseToGB(const QString &text)
{
    const QStringList pieces = text.split(u' ', Qt::SkipEmptyParts);
    if (pieces.size() < 2)
        return std::nullopt;
    bool ok = false;
    const double value = pieces[0].toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    const QString &unit = pieces[1];
    if (unit == u"TB")
        return value * 1024;
    if (unit == u"GB")
        return value;
    if (unit == u"MB")
        return value / 1024;
    if (unit == u"KB")
        return value / 1024 / 1024;
    return std::nullopt;
}

DeviceIdentity identityFrom(const QString &cachedReport, const QString &liveReport)
{
    auto read = [&](const QString &label) { return field(cachedReport, label); };
    auto either = [&](const QString &first, const QString &second) {
        auto value = read(first);
        return value ? value : read(second);
    };
    auto liveFirst = [&](const QString &label) {
        auto value = field(liveReport, label);
        return value ? value : read(label);
    };
    DeviceIdentity id;
    id.modelName = read(u"Model Name"_s).value_or(u"Mac"_s);
    id.modelId = read(u"Model Identifier"_s).value_or(kMissing);
    id.chip = either(u"Chip"_s, u"Processor Name"_s).value_or(kMissing);
    id.cores = read(u"Total Number of Cores"_s).value_or(kMissing);
    id.memory = read(u"Memory"_s).value_or(kMissing);
    id.serial = either(u"Serial Number (system)"_s, u"Serial Number"_s).value_or(kMissing);
    id.modelNumber = read(u"Model Number"_s).value_or(kMissing);
    id.firmware = liveFirst(u"System Firmware Version"_s).value_or(kMissing);
    id.hwUUID = read(u"Hardware UUID"_s).value_or(kMissing);
    id.udid = read(u"Provisioning UDID"_s).value_or(kMissing);
    id.activationLock = liveFirst(u"Activation Lock Status"_s).value_or(kMissing);
    return id;
}

const QHash<QString, OfficialSpec> &officialSpecs()
{
    static const QHash<QString, OfficialSpec> table = [] {
        const QString air1 = u"MacBook Air 13-inch M1"_s;
        const QString air2 = u"MacBook Air 13-inch M2"_s;
        const QString pro13 = u"MacBook Pro 13-inch M1"_s;
        const QString pro14 = u"MacBook Pro 14-inch M1 Pro"_s;
        const QString pro16 = u"MacBook Pro 16-inch M1 Pro"_s;
        const QString max16 = u"MacBook Pro 16-inch M1 Max"_s;
        const QString mini = u"Mac mini M1"_s;
        const QString imac = u"iMac 24-inch M1"_s;
        return QHash<QString, OfficialSpec>{
            {u"MGN63"_s, {256, 8, air1}},   {u"MGN73"_s, {512, 8, air1}},    {u"MGND3"_s, {256, 8, air1}},
            {u"MGNE3"_s, {512, 8, air1}},   {u"MGN93"_s, {256, 8, air1}},    {u"MGNA3"_s, {512, 8, air1}},
            {u"MLXW3"_s, {256, 8, air2}},   {u"MLXX3"_s, {512, 8, air2}},    {u"MLY13"_s, {256, 8, air2}},
            {u"MLY23"_s, {512, 8, air2}},   {u"MLY33"_s, {256, 8, air2}},    {u"MLY43"_s, {512, 8, air2}},
            {u"MYD83"_s, {256, 8, pro13}},  {u"MYD93"_s, {512, 8, pro13}},   {u"MYDA2"_s, {256, 8, pro13}},
            {u"MYDC2"_s, {512, 8, pro13}},  {u"MKGP3"_s, {512, 16, pro14}},  {u"MKGR3"_s, {1024, 16, pro14}},
            {u"MKGT3"_s, {512, 16, pro14}}, {u"MK183"_s, {512, 16, pro16}},  {u"MK193"_s, {1024, 16, pro16}},
            {u"MK1A3"_s, {512, 16, max16}}, {u"MK1B3"_s, {1024, 32, max16}}, {u"MGNR3"_s, {256, 8, mini}},
            {u"MGNT3"_s, {512, 8, mini}},   {u"MJVA3"_s, {256, 8, imac}},    {u"MJVJ3"_s, {256, 8, imac}},
        };
    }();
    return table;
}

CapacityAudit auditCapacity(const QString &modelNumber, std::optional<double> actualTotalGB,
                            const QString &actualMemory)
{
    CapacityAudit audit;
    audit.modelNumber = modelNumber;
    audit.actualStorage = actualTotalGB;
    audit.actualMemory = actualMemory;

    const auto row = officialSpecs().constFind(modelNumber.left(5).toUpper());
    if (row == officialSpecs().constEnd()) {
        audit.verdict = u"未收录该型号"_s;
        audit.detail =
            u"型号 "_s + modelNumber + u" 不在内置对照表中，无法判断是否扩容。可到 Apple 官网按型号核对出厂配置。"_s;
        audit.status = DeviceStatus::info;
        return audit;
    }

    const int official = row->storageGB;
    const QString S = QString::number(official);
    const double actual = actualTotalGB.value_or(0);
    const double upper = official + 0.05 * official;
    const double lower = official - 0.05 * official;
    audit.officialStorage = official;
    audit.officialMemory = row->memoryGB;
    audit.isExpanded = actual > upper;
    audit.isShrunk = lower > actual;

    if (audit.isExpanded) {
        audit.verdict = u"疑似扩容"_s;
        audit.status = DeviceStatus::bad;
        audit.detail = u"官方出厂配置为 "_s + S + u"GB，实测物理盘 "_s + number(actual, "%.0f") + u"GB（约 "_s +
            number(actual / official, "%.1f") + u" 倍）。硬盘被更换为更大容量，非原装。"_s;
    } else if (audit.isShrunk) {
        audit.verdict = u"容量异常偏小"_s;
        audit.status = DeviceStatus::warn;
        audit.detail = u"官方出厂配置为 "_s + S + u"GB，实测仅 "_s + number(actual, "%.0f") +
            u"GB。可能换过更小的硬盘，或存在未分配空间。"_s;
    } else {
        audit.verdict = u"与出厂配置一致"_s;
        audit.status = DeviceStatus::ok;
        audit.detail = row->modelName + u"，官方 "_s + S + u"GB / 实测 "_s + number(actual, "%.0f") + u"GB。"_s;
    }
    return audit;
}

QString physicalDiskSize(const QString &diskInfo)
{
    return captureOr(diskInfo, u"Disk Size:\\s+([\\d.]+ [KMGT]B)"_s, kMissing);
}

DiskLayout diskLayoutFrom(const QString &diskInfo, const QString &diskList, const QString &rootDfLine)
{
    DiskLayout layout;
    layout.physicalTotal = physicalDiskSize(diskInfo);
    const QStringList dfPieces = rootDfLine.split(u' ', Qt::SkipEmptyParts);
    const QString rootDevice = dfPieces.isEmpty() ? QString() : dfPieces.first();

    static const QString marker = u"Apple_APFS Container"_s;
    for (const QString &line : internalDiskLines(diskList)) {
        const qsizetype at = line.indexOf(marker);
        if (at < 0)
            continue;
        const QStringList tokens = trimSpaces(line.mid(at + marker.size())).split(u' ', Qt::SkipEmptyParts);
        if (tokens.size() < 2)
            continue;
        const QString name = tokens.first();
        const auto size = containerSize(tokens);
        if (!size)
            continue;
        const bool known = std::any_of(layout.containers.begin(), layout.containers.end(),
                                       [&](const ApfsContainer &c) { return c.name == name; });
        if (known)
            continue;
        layout.containers.append({name, *size, !rootDevice.isEmpty() && rootIsOn(rootDevice, name)});
    }

    double systemSize = 0;
    for (const ApfsContainer &c : std::as_const(layout.containers)) {
        if (c.isSystem) {
            layout.systemOn = c.name;
            systemSize = c.sizeGB;
            break;
        }
    }
    const auto physicalGB = parseToGB(layout.physicalTotal);
    layout.isPartitioned = layout.containers.size() >= 2;

    if (layout.isPartitioned) {
        QStringList others;
        for (const ApfsContainer &c : std::as_const(layout.containers)) {
            if (!c.isSystem)
                others << c.name + u' ' + wholeGB(c.sizeGB) + u" GB"_s;
        }
        layout.verdict = u"检测到 "_s + QString::number(layout.containers.size()) + u" 个 APFS 容器"_s;
        layout.detail = u"系统装在 "_s + layout.systemOn + u"（"_s + wholeGB(systemSize) + u" GB），另有 "_s +
            others.join(u"、"_s) + u"。物理盘共 "_s + layout.physicalTotal +
            u"，说明磁盘被手工分区或装过第二个系统。"_s;
        layout.status = DeviceStatus::warn;
    } else if (physicalGB && *physicalGB > 0 && systemSize / *physicalGB < 0.85) {
        layout.verdict = u"系统盘小于物理容量"_s;
        layout.detail = u"系统容器 "_s + wholeGB(systemSize) + u" GB / 物理盘 "_s + layout.physicalTotal +
            u"，可能有未分配空间或被隐藏分区。"_s;
        layout.status = DeviceStatus::warn;
    } else {
        layout.verdict = u"结构正常"_s;
        layout.detail = u"单一容器，占用 "_s + layout.physicalTotal + u" 全部容量。"_s;
        layout.status = DeviceStatus::ok;
    }
    return layout;
}

DeviceSection batteryFrom(const QString &ioreg)
{
    DeviceSection section{u"battery"_s, u"电池"_s, u"bolt"_s, {}};
    const auto cycles = intField(ioreg, u"CycleCount"_s);
    const qint64 design = intField(ioreg, u"DesignCapacity"_s).value_or(0);
    qint64 full = 0;
    const auto nominal = intField(ioreg, u"NominalChargeCapacity"_s);
    if (nominal && *nominal > 0) {
        full = *nominal;
    } else if (const auto fullCharge = intField(ioreg, u"FullChargeCapacity"_s)) {
        full = *fullCharge;
    } else if (const auto maxCapacity = intField(ioreg, u"MaxCapacity"_s); maxCapacity && *maxCapacity > 100) {
        // Older machines report the full-charge capacity only as "MaxCapacity" in mAh; newer ones use the same
        // key for a percentage, which must not be mistaken for a capacity.
        full = *maxCapacity;
    }

    if (design > 0 && full > 0) {
        // Capped so that a garbled capacity cannot overflow the conversion; real values stay far below.
        const auto health = static_cast<qint64>(std::min(std::round(double(full) / double(design) * 100.0), 1e15));
        const DeviceStatus status = health >= 85 ? DeviceStatus::ok
            : health >= 75                       ? DeviceStatus::warn
                                                 : DeviceStatus::bad;
        section.metrics << metric(u"health"_s, u"健康度"_s, QString::number(health) + u'%',
                                  QString::number(full) + u" mAh / 设计 "_s + QString::number(design) + u" mAh"_s,
                                  status);
    }
    if (cycles) {
        const qint64 c = *cycles;
        const auto [detail, status] = c <= 200 ? std::pair(u"轻度使用"_s, DeviceStatus::ok)
            : c <= 500                         ? std::pair(u"正常范围"_s, DeviceStatus::warn)
                                               : std::pair(u"偏高，属正常老化"_s, DeviceStatus::bad);
        section.metrics << metric(u"cycle"_s, u"循环次数"_s, QString::number(c) + u" 次"_s, detail, status);
    }
    if (const auto raw = intField(ioreg, u"Temperature"_s)) {
        const double t = double(*raw) / 100.0;
        section.metrics << metric(u"temp"_s, u"温度"_s, number(t, "%.1f°C"), t > 40 ? u"偏高，可能在快充"_s : u"正常"_s,
                                  t > 45 ? DeviceStatus::warn : DeviceStatus::ok);
    }
    if (section.metrics.isEmpty())
        section.metrics << metric(u"none"_s, u"电池"_s, u"无法读取"_s, u"可能为台式机或电池信息不可用"_s,
                                  DeviceStatus::info);
    return section;
}

DeviceSection storageFrom(const QString &diskInfo, const std::function<QString()> &infoByNode, const QString &nvme,
                          const DiskLayout &layout, const QString &df)
{
    DeviceSection section{u"storage"_s, u"存储"_s, u"internaldrive"_s, {}};

    auto smart = field(diskInfo, u"SMART Status"_s);
    if (!smart && infoByNode)
        smart = field(infoByNode(), u"SMART Status"_s);
    const QString smartText = smart.value_or(kMissing);

    QString size = field(diskInfo, u"Disk Size"_s).value_or(kMissing);
    if (const qsizetype paren = size.indexOf(u'('); paren >= 0)
        size = trimSpaces(size.left(paren));

    const QString model = captureOr(nvme, u"Model:\\s*(.+)"_s, kMissing);
    const QString serial = captureOr(nvme, u"Serial Number:\\s*(\\S+)"_s, kMissing);

    const QString smartDetail = smartText == u"Verified" ? u"硬盘自检通过"_s
        : smartText == u"Not Supported"                  ? u"该机型不上报，参考其他项"_s
                                                         : u"需要关注"_s;
    section.metrics << metric(u"smart"_s, u"SMART"_s, smartText, smartDetail,
                              smartText == u"Verified" ? DeviceStatus::ok : DeviceStatus::warn);
    section.metrics << metric(u"size"_s, u"容量"_s, size, std::nullopt, DeviceStatus::info);
    section.metrics << metric(u"model"_s, u"型号"_s, model, std::nullopt, DeviceStatus::info);
    section.metrics << metric(u"serial"_s, u"硬盘序列号"_s, serial, std::nullopt, DeviceStatus::info);
    section.metrics << metric(u"layout"_s, u"磁盘结构"_s, layout.verdict, layout.detail, layout.status);
    if (layout.isPartitioned) {
        QStringList parts;
        for (const ApfsContainer &c : layout.containers)
            parts << c.name + u' ' + wholeGB(c.sizeGB) + u"GB"_s;
        section.metrics << metric(u"containers"_s, u"容器数量"_s, QString::number(layout.containers.size()) + u" 个"_s,
                                  parts.join(u" · "_s), DeviceStatus::warn);
    }

    const QStringList lines = df.split(u'\n', Qt::SkipEmptyParts);
    if (!lines.isEmpty()) {
        const QStringList pieces = lines.last().split(u' ', Qt::SkipEmptyParts);
        bool ok = false;
        const double blocks = pieces.size() >= 4 ? pieces[3].toDouble(&ok) : 0;
        if (ok) {
            const double freeGB = blocks / 1024 / 1024;
            section.metrics << metric(u"free"_s, u"可用空间"_s, number(freeGB, "%.0f GB"),
                                      freeGB < 20 ? u"偏少，建议清理"_s : u"充足"_s,
                                      freeGB < 10 ? DeviceStatus::warn : DeviceStatus::ok);
        }
    }
    return section;
}

DeviceSection displayFrom(const QString &displays)
{
    DeviceSection section{u"display"_s, u"显示屏"_s, u"image"_s, {}};
    const QString resolution = captureOr(displays, u"Resolution:\\s*(.+)"_s, kMissing);
    const QString type = captureOr(displays, u"Display Type:\\s*(.+)"_s, kMissing);
    const qsizetype screens = std::max<qsizetype>(displays.count(u"Display Type"_s), 1);
    section.metrics << metric(u"res"_s, u"分辨率"_s, resolution, type, DeviceStatus::info);
    section.metrics << metric(u"count"_s, u"屏幕数量"_s, QString::number(screens), u"未接外接屏时只显示内置屏"_s,
                              DeviceStatus::info);
    section.metrics << metric(u"pixel"_s, u"坏点检查"_s, u"需人工确认"_s, u"纯色全屏查看，教程里有具体步骤"_s,
                              DeviceStatus::warn);
    return section;
}

DeviceSection ioFrom(const QString &airport, const QString &bluetooth, const QString &thunderbolt,
                     const QString &camera, const QString &audio)
{
    DeviceSection section{u"io"_s, u"无线与接口"_s, u"wifi"_s, {}};
    const qsizetype ports = thunderbolt.count(u"Thunderbolt"_s);
    auto read = [](const QString &report, const QString &found, const QString &missing) {
        return report.isEmpty() ? missing : found;
    };
    auto judged = [](const QString &report) { return report.isEmpty() ? DeviceStatus::warn : DeviceStatus::ok; };
    section.metrics << metric(u"wifi"_s, u"Wi-Fi"_s, read(airport, u"正常"_s, u"未读取"_s), std::nullopt,
                              judged(airport));
    section.metrics << metric(u"bt"_s, u"蓝牙"_s, read(bluetooth, u"正常"_s, u"未读取"_s), std::nullopt,
                              judged(bluetooth));
    section.metrics << metric(u"tb"_s, u"雷雳接口"_s, QString::number(ports) + u" 个"_s, std::nullopt,
                              ports == 0 ? DeviceStatus::warn : DeviceStatus::ok);
    section.metrics << metric(u"cam"_s, u"摄像头"_s, read(camera, u"已识别"_s, u"未检测到"_s), std::nullopt,
                              judged(camera));
    section.metrics << metric(u"audio"_s, u"音频"_s, read(audio, u"已识别"_s, u"未读取"_s),
                              u"扬声器与麦克风需实际播放确认"_s, DeviceStatus::info);
    return section;
}

bool unreadable(const QString &toolOutput)
{
    return toolOutput.trimmed().isEmpty();
}

namespace {

// The metric `key` of a section reads as unreadable when its tool's answer was.
void markUnreadable(DeviceSection &section, QStringView key, const QString &toolOutput)
{
    if (!unreadable(toolOutput))
        return;
    for (DeviceMetric &m : section.metrics) {
        if (m.key == key) {
            m.value = kUnreadable;
            m.detail = u"没有读到结果，可重新检测"_s;
            m.status = DeviceStatus::warn;
        }
    }
}

} // namespace

bool sipEnabled(const QString &csrutilStatus)
{
    // Judge by the status line: "enabled (Custom Configuration)." is followed by a list in which some
    // protections still say "enabled", yet the machine is not protected.
    const QRegularExpression &statusLine = compiled(u"System Integrity Protection status:\\s*([^\\n]*)"_s);
    const auto match = statusLine.match(csrutilStatus);
    if (!match.hasMatch())
        return csrutilStatus.contains(u"enabled"_s);
    const QString status = trimSpaces(match.captured(1));
    return status.startsWith(u"enabled"_s) && !status.contains(u"Custom Configuration"_s);
}

bool firewallEnabled(const QString &globalState)
{
    const QRegularExpression &stateNumber = compiled(u"State\\s*=\\s*(\\d+)"_s);
    const auto match = stateNumber.match(globalState);
    if (match.hasMatch())
        return match.captured(1).toInt() > 0;
    return globalState.contains(u"enabled"_s);
}

DeviceSection securityFrom(const QString &csrutilStatus, const QString &fdesetupStatus, const QString &firewallState,
                           const DeviceIdentity &identity)
{
    DeviceSection section{u"security"_s, u"安全状态"_s, u"shield"_s, {}};
    const bool sipOn = sipEnabled(csrutilStatus);
    const bool fvOn = fdesetupStatus.contains(u"On"_s);
    const bool fwOn = firewallEnabled(firewallState);
    const bool lockOn = identity.activationLock == u"Enabled";
    section.metrics << metric(u"sip"_s, u"系统完整性保护"_s, sipOn ? u"已开启"_s : u"已关闭"_s,
                              sipOn ? u"系统文件受保护"_s : u"被关闭过，建议抹盘重装"_s,
                              sipOn ? DeviceStatus::ok : DeviceStatus::bad);
    section.metrics << metric(u"filevault"_s, u"磁盘加密"_s, fvOn ? u"已开启"_s : u"未开启"_s,
                              fvOn ? u"数据已加密"_s : u"建议开启 FileVault"_s,
                              fvOn ? DeviceStatus::ok : DeviceStatus::warn);
    section.metrics << metric(u"firewall"_s, u"防火墙"_s, fwOn ? u"已开启"_s : u"未开启"_s, std::nullopt,
                              fwOn ? DeviceStatus::ok : DeviceStatus::warn);
    section.metrics << metric(u"activation"_s, u"激活锁"_s, lockOn ? u"已开启"_s : u"未开启"_s,
                              lockOn ? u"已绑定 Apple ID，二手需卖家先退出"_s : u"未绑定，可直接重置"_s,
                              DeviceStatus::info);
    markUnreadable(section, u"sip", csrutilStatus);
    markUnreadable(section, u"filevault", fdesetupStatus);
    markUnreadable(section, u"firewall", firewallState);
    return section;
}

QString batterySerial(const QString &ioreg)
{
    // Older machines name the key "BatterySerialNumber".
    for (const QString &key : {u"Serial"_s, u"BatterySerialNumber"_s}) {
        const QRegularExpression &re = compiled(u'"' + key + u"\"\\s*=\\s*\"([^\"]+)\""_s);
        const auto match = re.match(ioreg);
        if (match.hasMatch())
            return match.captured(1);
    }
    return kMissing;
}

QString regionName(const QString &modelNumber)
{
    const qsizetype slash = modelNumber.indexOf(u'/');
    if (slash < 0)
        return u"未知"_s;
    // A sales model number is a five-character part, the region code and "/A".
    const QString code = modelNumber.left(slash).mid(5);
    static const QHash<QString, QString> regions{
        {u"CH"_s, u"中国大陆"_s}, {u"ZP"_s, u"中国香港"_s}, {u"LL"_s, u"美国"_s},    {u"J"_s, u"日本"_s},
        {u"KH"_s, u"韩国"_s},     {u"B"_s, u"英国"_s},      {u"X"_s, u"澳大利亚"_s},
    };
    if (code.isEmpty())
        return u"未知"_s;
    return regions.value(code, code);
}

bool isDesktop(const QString &modelName)
{
    for (const QString &prefix : {u"Mac mini"_s, u"iMac"_s, u"Mac Pro"_s, u"Mac Studio"_s}) {
        if (modelName.startsWith(prefix))
            return true;
    }
    return false;
}

CrossCheckResult crossChecksFrom(const DeviceIdentity &id, const CrossCheckInputs &in)
{
    CrossCheckResult out;
    auto add = [&](QString label, QString result, std::optional<QString> detail, DeviceStatus status) {
        out.checks.append(CrossCheck{std::move(label), std::move(result), std::move(detail), status});
    };
    auto problem = [&](const QString &issue, int penalty) {
        if (!issue.isEmpty())
            out.issues << issue;
        out.penalty += penalty;
    };

    const QString battery = batterySerial(in.ioreg);
    const QString disk = captureOr(in.nvme, u"Serial Number:\\s*(\\S+)"_s, kMissing);

    // 1. serial format
    const bool serialUnreadable = id.serial == kMissing || id.serial.size() < 10;
    add(u"序列号格式"_s, serialUnreadable ? u"无法识别"_s : u"正常"_s, id.serial + u"，与机身底部、包装盒三处核对"_s,
        serialUnreadable ? DeviceStatus::warn : DeviceStatus::ok);

    // 2. chip against model identifier. Apple-silicon identifiers begin with "Mac", except the iMac's ("iMac21,1").
    const QRegularExpression &imac = compiled(u"^iMac\\d"_s);
    const bool contradicts =
        id.chip.contains(u"Apple"_s) && !id.modelId.startsWith(u"Mac"_s) && !imac.match(id.modelId).hasMatch();
    add(u"机型与芯片"_s, contradicts ? u"存在矛盾"_s : u"匹配"_s, id.modelId + u" / "_s + id.chip,
        contradicts ? DeviceStatus::bad : DeviceStatus::ok);
    if (contradicts)
        problem(u"机型标识与芯片信息不一致，可能被改写过"_s, 25);

    // 3. sales region
    add(u"销售地区"_s, regionName(id.modelNumber), u"型号 "_s + id.modelNumber + u"，应与购买渠道一致"_s,
        DeviceStatus::info);

    // 4. readable component serials; a desktop has no battery, so only the system and disk serials count
    const bool desktop = isDesktop(id.modelName);
    int readable = 0;
    const QStringList serials = desktop ? QStringList{id.serial, disk} : QStringList{id.serial, battery, disk};
    for (const QString &s : serials)
        readable += (s != kMissing && !s.isEmpty()) ? 1 : 0;
    const int all = int(serials.size());
    add(u"多码可读"_s, QString::number(readable) + u'/' + QString::number(all),
        desktop ? u"系统 "_s + id.serial + u" · 硬盘 "_s + disk
                : u"系统 "_s + id.serial + u" · 电池 "_s + battery + u" · 硬盘 "_s + disk,
        readable == all           ? DeviceStatus::ok
            : readable == all - 1 ? DeviceStatus::warn
                                  : DeviceStatus::bad);
    if (readable < all)
        problem(desktop ? u"有硬件序列号无法读取，可能被更换过（硬盘）"_s
                        : u"有硬件序列号无法读取，可能被更换过（电池 / 硬盘）"_s,
                8);

    // 5. hardware UUID
    const bool uuidMissing = id.hwUUID == kMissing;
    add(u"硬件 UUID"_s, uuidMissing ? u"未读取"_s : u"已读取"_s, id.hwUUID,
        uuidMissing ? DeviceStatus::warn : DeviceStatus::ok);

    // 6. provisioning UDID
    if (id.udid != kMissing)
        add(u"设备 UDID"_s, u"已读取"_s, id.udid, DeviceStatus::info);

    // 7. activation lock: costs points but is not an issue sentence
    if (id.activationLock == u"Enabled") {
        add(u"Apple ID 激活锁"_s, u"已开启"_s, u"买二手前必须让卖家退出 Apple ID 并关闭「查找」"_s, DeviceStatus::warn);
        problem({}, 8);
    } else {
        add(u"Apple ID 激活锁"_s, u"未开启"_s, u"未绑定，可直接抹盘重装"_s, DeviceStatus::ok);
    }

    // 8. battery origin
    const auto design = intField(in.ioreg, u"DesignCapacity"_s);
    if (desktop) {
        add(u"电池来源"_s, u"无电池"_s, u"台式机不配电池"_s, DeviceStatus::info);
    } else if (design && battery != kMissing && *design >= 1001) {
        add(u"电池来源"_s, u"原厂可读"_s, u"序列号 "_s + battery, DeviceStatus::ok);
    } else {
        add(u"电池来源"_s, u"需确认"_s, u"读不到电池序列号，可能已更换"_s, DeviceStatus::warn);
        problem(u"无法读取电池序列号，电池可能为非原厂"_s, 10);
    }

    // 9. factory capacity
    const auto measured = parseToGB(physicalDiskSize(in.diskInfo));
    const CapacityAudit audit = auditCapacity(id.modelNumber, measured, id.memory);
    add(u"出厂容量"_s, audit.verdict, audit.detail, audit.status);
    if (audit.isExpanded) {
        problem(u"磁盘被扩容：型号 "_s + id.modelNumber + u" 出厂为 "_s +
                    QString::number(audit.officialStorage.value_or(0)) + u"GB，实测 "_s +
                    wholeGB(measured.value_or(0)) + u"GB。非原装硬盘，二手价应按改装机评估"_s,
                30);
    } else if (audit.isShrunk) {
        problem(u"实测容量小于出厂配置，可能换过硬盘或存在隐藏分区"_s, 12);
    }

    // 10. memory
    if (audit.officialMemory) {
        if (const auto memory = leadingInt(id.memory, u" GB"_s); memory && *memory != *audit.officialMemory) {
            add(u"内存配置"_s, u"与出厂不符"_s,
                u"官方 "_s + QString::number(*audit.officialMemory) + u"GB，实测 "_s + QString::number(*memory) +
                    u"GB"_s,
                DeviceStatus::warn);
        }
    }

    // 11. partitions
    if (in.layout.isPartitioned) {
        const QString count = QString::number(in.layout.containers.size());
        add(u"磁盘分区"_s, u"分了 "_s + count + u" 个容器"_s, in.layout.detail, DeviceStatus::warn);
        problem(u"磁盘被划分成 "_s + count + u" 个容器，系统盘只占一部分"_s, 8);
    }

    // 12. system integrity
    if (unreadable(in.csrutilStatus)) {
        add(u"系统完整性"_s, kUnreadable, u"没有读到 SIP 状态，可重新检测"_s, DeviceStatus::warn);
    } else if (sipEnabled(in.csrutilStatus)) {
        add(u"系统完整性"_s, u"未被改动"_s, u"SIP 开启"_s, DeviceStatus::ok);
    } else {
        add(u"系统完整性"_s, u"已被关闭"_s, u"SIP 被关闭过，建议抹盘重装"_s, DeviceStatus::bad);
        problem(u"系统完整性保护（SIP）被关闭，可能被修改过系统"_s, 20);
    }
    return out;
}

int scoreFor(int penalty, const DeviceSection *battery)
{
    int score = 100 - penalty;
    if (battery) {
        if (const DeviceMetric *cycle = battery->metric(u"cycle"_s)) {
            if (const auto c = leadingInt(cycle->value, u" 次"_s))
                score -= *c >= 801 ? 10 : *c >= 501 ? 5 : 0;
        }
        if (const DeviceMetric *health = battery->metric(u"health"_s)) {
            if (const auto h = leadingInt(health->value, u"%"_s))
                score -= *h <= 74 ? 12 : *h <= 84 ? 5 : 0;
        }
    }
    return std::clamp(score, 0, 100);
}

QString verdictFor(int score)
{
    if (score >= 90)
        return u"没有发现明显问题"_s;
    if (score >= 78)
        return u"整体正常，有几处值得留意"_s;
    if (score >= 60)
        return u"存在需要处理的问题"_s;
    return u"问题较多，二手建议压价或放弃"_s;
}

QString reportText(const DeviceIdentity &id, int score, const QList<CrossCheck> &checks,
                   const QList<DeviceSection> &sections, const QStringList &issues, const QStringList &handsOn)
{
    QStringList lines;
    lines << u"Vexlo 验机报告"_s;
    lines << id.modelName + u" · "_s + id.modelId + u" · "_s + id.chip;
    lines << u"序列号 "_s + id.serial;
    lines << u"评分 "_s + QString::number(score) + u"/100"_s;
    lines << QString();
    for (const CrossCheck &check : checks) {
        QString line = u"· "_s + check.label + u"："_s + check.result;
        if (check.detail)
            line += u"（"_s + *check.detail + u"）"_s;
        lines << line;
    }
    lines << QString();
    for (const DeviceSection &section : sections) {
        lines << u"【"_s + section.title + u"】"_s;
        for (const DeviceMetric &m : section.metrics)
            lines << u"  "_s + m.label + u"："_s + m.value;
    }
    if (!handsOn.isEmpty())
        lines << u"【动手检查】"_s << handsOn;
    if (!issues.isEmpty()) {
        lines << QString() << u"需要注意："_s;
        for (const QString &issue : issues)
            lines << u"  · "_s + issue;
    }
    return lines.join(u'\n');
}

} // namespace DeviceRules
