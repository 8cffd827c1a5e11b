#include "device/DeviceHistory.h"

#include "device/DeviceRecords.h"
#include "device/DeviceTraps.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// At most this many stored checks are read when looking for earlier ones.
constexpr int kMaxRecords = 500;

QString identityText(const QJsonObject &record, const QString &key)
{
    return record.value(u"identity"_s).toObject().value(key).toString();
}

// A folder name for a serial: letters and digits only.
QString serialFolder(const QString &serial)
{
    QString name;
    for (const QChar c : serial) {
        if (c.isLetterOrNumber() && c.unicode() < 128)
            name += c.toUpper();
    }
    return name.isEmpty() ? u"unknown"_s : name;
}

bool known(const QString &value)
{
    return !value.isEmpty() && value != kMissing;
}

bool sameMac(const QJsonObject &a, const QJsonObject &b)
{
    for (const QString &key : {u"serial"_s, u"hwUUID"_s}) {
        const QString value = identityText(a, key);
        if (known(value) && value == identityText(b, key))
            return true;
    }
    const QString caseSerial = DeviceTraps::normalisedSerial(a.value(u"caseSerial"_s).toString());
    return !caseSerial.isEmpty() && caseSerial == DeviceTraps::normalisedSerial(b.value(u"caseSerial"_s).toString());
}

// "section/key" -> (label, value) for every metric row of a record.
QList<std::pair<QString, std::pair<QString, QString>>> metricRows(const QJsonObject &record)
{
    QList<std::pair<QString, std::pair<QString, QString>>> rows;
    for (const QJsonValue &s : record.value(u"sections"_s).toArray()) {
        const QJsonObject section = s.toObject();
        const QString id = section.value(u"id"_s).toString();
        for (const QJsonValue &m : section.value(u"metrics"_s).toArray()) {
            const QJsonObject metric = m.toObject();
            const QString key = metric.value(u"key"_s).toString();
            if (id == u"battery" && key == u"temp")
                continue;
            rows.append({id + u'/' + key,
                         {section.value(u"title"_s).toString() + u" · "_s + metric.value(u"label"_s).toString(),
                          metric.value(u"value"_s).toString()}});
        }
    }
    return rows;
}

} // namespace

DeviceHistory::DeviceHistory(QString folder)
    : m_folder(std::move(folder))
{
    if (m_folder.isEmpty()) {
        m_folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
            u"/Vexlo/VexloToolbox/DeviceHistory"_s;
    }
}

QString DeviceHistory::save(const QJsonObject &record, const QString &path) const
{
    QString target = path;
    if (target.isEmpty()) {
        const QDateTime at = QDateTime::fromString(record.value(u"checkedAt"_s).toString(), Qt::ISODateWithMs).toUTC();
        const QString dir = m_folder + u'/' + serialFolder(identityText(record, u"serial"_s));
        const QString stem = (at.isValid() ? at : QDateTime::currentDateTimeUtc()).toString(u"yyyyMMdd-HHmmss-zzz"_s);
        target = dir + u'/' + stem + u".json"_s;
        for (int n = 2; QFile::exists(target); ++n)
            target = dir + u'/' + stem + u'-' + QString::number(n) + u".json"_s;
    }
    if (!QDir().mkpath(QFileInfo(target).absolutePath()))
        return {};
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write(QJsonDocument(record).toJson(QJsonDocument::Indented));
    return file.commit() ? target : QString();
}

std::optional<QJsonObject> DeviceHistory::load(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return std::nullopt;
    const QJsonObject record = doc.object();
    if (!record.value(u"identity"_s).isObject() || !record.value(u"checkedAt"_s).isString())
        return std::nullopt;
    return record;
}

QList<HistoryEntry> DeviceHistory::earlier(const QJsonObject &current, const QString &currentPath) const
{
    QList<HistoryEntry> entries;
    QDirIterator it(m_folder, {u"*.json"_s}, QDir::Files, QDirIterator::Subdirectories);
    int read = 0;
    while (it.hasNext() && read < kMaxRecords) {
        const QString path = it.next();
        if (QFileInfo(path) == QFileInfo(currentPath))
            continue;
        ++read;
        const auto record = load(path);
        if (!record || !sameMac(*record, current))
            continue;
        entries.append({path, QDateTime::fromString(record->value(u"checkedAt"_s).toString(), Qt::ISODateWithMs),
                        record->value(u"score"_s).toInt(), record->value(u"verdict"_s).toString(),
                        identityText(*record, u"serial"_s)});
    }
    std::sort(entries.begin(), entries.end(),
              [](const HistoryEntry &a, const HistoryEntry &b) { return a.checkedAt > b.checkedAt; });
    return entries;
}

QList<HistoryChange> DeviceHistory::compare(const QJsonObject &before, const QJsonObject &after)
{
    QList<HistoryChange> changes;
    static const QList<std::pair<QString, QString>> identityFields{
        {u"serial"_s, u"序列号"_s},        {u"modelName"_s, u"型号"_s}, {u"modelId"_s, u"型号标识"_s},
        {u"modelNumber"_s, u"型号编号"_s}, {u"chip"_s, u"芯片"_s},      {u"memory"_s, u"内存"_s},
        {u"hwUUID"_s, u"硬件 UUID"_s},     {u"firmware"_s, u"固件"_s},  {u"activationLock"_s, u"激活锁状态"_s},
    };
    for (const auto &[key, label] : identityFields) {
        const QString was = identityText(before, key);
        const QString now = identityText(after, key);
        if (was != now)
            changes.append({label, was, now, key == u"serial"});
    }
    const int scoreBefore = before.value(u"score"_s).toInt();
    const int scoreAfter = after.value(u"score"_s).toInt();
    if (scoreBefore != scoreAfter)
        changes.append({u"评分"_s, QString::number(scoreBefore), QString::number(scoreAfter), false});

    const auto earlierRows = metricRows(before);
    const auto laterRows = metricRows(after);
    auto valueIn = [](const auto &rows, const QString &id) -> std::optional<std::pair<QString, QString>> {
        for (const auto &[rowId, row] : rows) {
            if (rowId == id)
                return row;
        }
        return std::nullopt;
    };
    for (const auto &[id, row] : laterRows) {
        const auto was = valueIn(earlierRows, id);
        if (!was || was->second != row.second)
            changes.append({row.first, was ? was->second : kMissing, row.second, false});
    }
    for (const auto &[id, row] : earlierRows) {
        if (!valueIn(laterRows, id))
            changes.append({row.first, row.second, kMissing, false});
    }
    return changes;
}
