#include "device/DeviceSummary.h"

#include "device/DeviceRules.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace DeviceSummary {

namespace {

const DeviceMetric *row(const DeviceSection *section, const QString &key)
{
    return section ? section->metric(key) : nullptr;
}

const CrossCheck *check(const QList<CrossCheck> &checks, const QString &label)
{
    for (const CrossCheck &c : checks) {
        if (c.label == label)
            return &c;
    }
    return nullptr;
}

std::optional<int> percent(const DeviceMetric *health)
{
    if (!health)
        return std::nullopt;
    bool ok = false;
    const int value = QString(health->value).remove(u'%').trimmed().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

} // namespace

DeviceStatus scoreLevel(int score)
{
    return score >= 85 ? DeviceStatus::ok : score >= 70 ? DeviceStatus::warn : DeviceStatus::bad;
}

QVariantMap Bar::toMap() const
{
    return {{u"available"_s, available},
            {u"share"_s, share},
            {u"text"_s, text},
            {u"caption"_s, caption},
            {u"status"_s, statusText(status)}};
}

std::optional<double> gigabytes(const QString &text)
{
    QString number = text.trimmed();
    double factor = 1;
    if (number.endsWith(u"TB"_s)) {
        factor = 1024;
        number.chop(2);
    } else if (number.endsWith(u"GB"_s)) {
        number.chop(2);
    }
    bool ok = false;
    const double value = number.trimmed().toDouble(&ok);
    return ok ? std::optional<double>(value * factor) : std::nullopt;
}

Bar storageBar(const DeviceSection *storage)
{
    Bar bar;
    bar.text = kMissing;
    const DeviceMetric *free = row(storage, u"free"_s);
    const DeviceMetric *size = row(storage, u"size"_s);
    if (!free || !size)
        return bar;
    const auto freeGB = gigabytes(free->value);
    const auto sizeGB = gigabytes(size->value);
    if (!freeGB || !sizeGB || *sizeGB <= 0)
        return bar;
    bar.available = true;
    bar.share = std::clamp(1.0 - *freeGB / *sizeGB, 0.02, 1.0);
    bar.text = QString::asprintf("%.0f%%", bar.share * 100);
    bar.caption = u"可用 "_s + free->value + u" / 共 "_s + size->value;
    bar.status = bar.share > 0.9 ? DeviceStatus::bad : DeviceStatus::info;
    return bar;
}

static DeviceStatus healthLevel(int health)
{
    return health >= 85 ? DeviceStatus::ok : health >= 75 ? DeviceStatus::warn : DeviceStatus::bad;
}

Bar batteryBar(const DeviceSection *battery)
{
    Bar bar;
    bar.text = kMissing;
    const DeviceMetric *cycle = row(battery, u"cycle"_s);
    bar.caption = cycle ? u"循环 "_s + cycle->value : kMissing;
    const auto health = percent(row(battery, u"health"_s));
    if (!health)
        return bar;
    bar.available = true;
    bar.share = std::clamp(*health / 100.0, 0.0, 1.0);
    bar.text = QString::number(*health) + u'%';
    bar.status = healthLevel(*health);
    return bar;
}

QString batteryLine(const DeviceSection *battery)
{
    const Bar bar = batteryBar(battery);
    if (!bar.available)
        return u"电池 "_s + kMissing;
    QString line = u"电池 "_s + bar.text;
    if (bar.caption != kMissing)
        line += u" · "_s + bar.caption;
    return line;
}

QString crossSummary(const QList<CrossCheck> &checks)
{
    const auto count = [&](DeviceStatus s) {
        return std::count_if(checks.begin(), checks.end(), [s](const CrossCheck &c) { return c.status == s; });
    };
    QStringList parts;
    if (const auto bad = count(DeviceStatus::bad))
        parts << QString::number(bad) + u" 项异常"_s;
    if (const auto warn = count(DeviceStatus::warn))
        parts << QString::number(warn) + u" 项注意"_s;
    return parts.isEmpty() ? u"全部通过"_s : parts.join(u" · "_s);
}

QList<Cell> identityCells(const DeviceIdentity &id, const QString &osVersion, const QList<DeviceSection> &sections,
                          const QList<CrossCheck> &checks)
{
    const auto flagged = [&](const QString &label, DeviceStatus ifFlagged) -> std::pair<QString, DeviceStatus> {
        const CrossCheck *c = check(checks, label);
        if (!c || c->status == DeviceStatus::ok || c->status == DeviceStatus::info)
            return {QString(), DeviceStatus::info};
        return {c->result, ifFlagged};
    };
    const auto [serialFlag, serialStatus] = flagged(u"序列号格式"_s, DeviceStatus::warn);
    const auto [memoryFlag, memoryStatus] = flagged(u"内存配置"_s, DeviceStatus::warn);
    const auto [chipFlag, chipStatus] = flagged(u"机型与芯片"_s, DeviceStatus::bad);
    const CrossCheck *region = check(checks, u"销售地区"_s);

    QList<Cell> cells{
        {u"modelName"_s, u"型号"_s, id.modelName, {}, DeviceStatus::info},
        {u"chip"_s, u"芯片"_s, id.chip, chipFlag, chipStatus},
        {u"memory"_s, u"内存"_s, id.memory, memoryFlag, memoryStatus},
        {u"serial"_s, u"序列号"_s, id.serial, serialFlag, serialStatus},
        {u"os"_s, u"系统版本"_s, osVersion.isEmpty() ? kMissing : osVersion, {}, DeviceStatus::info},
        {u"modelId"_s, u"型号标识"_s, id.modelId, {}, DeviceStatus::info},
        {u"modelNumber"_s, u"型号编号"_s, id.modelNumber, region ? region->result : QString(), DeviceStatus::info},
        {u"cores"_s, u"核心"_s, id.cores, {}, DeviceStatus::info},
        {u"firmware"_s, u"固件"_s, id.firmware, {}, DeviceStatus::info},
        {u"hwUUID"_s, u"硬件 UUID"_s, id.hwUUID, {}, DeviceStatus::info},
    };
    static const QList<std::pair<QString, QString>> indicators{
        {u"battery"_s, u"health"_s},     {u"battery"_s, u"cycle"_s}, {u"storage"_s, u"size"_s},
        {u"storage"_s, u"free"_s},       {u"security"_s, u"sip"_s},  {u"security"_s, u"activation"_s},
        {u"security"_s, u"filevault"_s}, {u"display"_s, u"res"_s},
    };
    for (const auto &[sectionId, key] : indicators) {
        for (const DeviceSection &section : sections) {
            if (section.id != sectionId)
                continue;
            if (const DeviceMetric *m = section.metric(key))
                cells.append({key, m->label, m->value, {}, m->status});
        }
    }
    return cells;
}

QList<Cell> collapsedCells(const QList<Cell> &all)
{
    static const QStringList shown{u"modelName"_s, u"chip"_s,   u"memory"_s, u"serial"_s,
                                   u"os"_s,        u"health"_s, u"free"_s,   u"sip"_s};
    QList<Cell> cells;
    for (const Cell &cell : all) {
        if (shown.contains(cell.key))
            cells.append(cell);
    }
    return cells;
}

QStringList handsOnLines(const HandsOn &answers)
{
    QStringList lines;
    if (!answers.screen.isEmpty())
        lines << u"  屏幕："_s + answers.screen;
    if (!answers.keyboard.isEmpty()) {
        lines << u"  键盘："_s + answers.keyboard +
                u"（按过 %1 / %2 个键）"_s.arg(answers.keysSeen).arg(answers.keysTotal);
    }
    QStringList sides;
    if (!answers.speakerLeft.isEmpty())
        sides << u"左声道"_s + answers.speakerLeft;
    if (!answers.speakerRight.isEmpty())
        sides << u"右声道"_s + answers.speakerRight;
    if (!sides.isEmpty())
        lines << u"  扬声器："_s + sides.join(u"，"_s);
    return lines;
}

} // namespace DeviceSummary
