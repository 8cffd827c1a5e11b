#include "device/DeviceRecords.h"

#include <QJsonArray>

using namespace Qt::StringLiterals;

namespace {

QJsonValue optionalText(const std::optional<QString> &text)
{
    return text ? QJsonValue(*text) : QJsonValue(QJsonValue::Null);
}

} // namespace

QString statusText(DeviceStatus status)
{
    switch (status) {
    case DeviceStatus::ok:
        return u"ok"_s;
    case DeviceStatus::warn:
        return u"warn"_s;
    case DeviceStatus::bad:
        return u"bad"_s;
    case DeviceStatus::info:
        break;
    }
    return u"info"_s;
}

std::optional<DeviceStatus> statusFromText(const QString &text)
{
    for (DeviceStatus s : {DeviceStatus::ok, DeviceStatus::warn, DeviceStatus::bad, DeviceStatus::info}) {
        if (statusText(s) == text)
            return s;
    }
    return std::nullopt;
}

QJsonObject DeviceIdentity::toJson() const
{
    return QJsonObject{
        {u"modelName"_s, modelName},
        {u"modelId"_s, modelId},
        {u"chip"_s, chip},
        {u"cores"_s, cores},
        {u"memory"_s, memory},
        {u"serial"_s, serial},
        {u"modelNumber"_s, modelNumber},
        {u"firmware"_s, firmware},
        {u"hwUUID"_s, hwUUID},
        {u"udid"_s, udid},
        {u"activationLock"_s, activationLock},
    };
}

QJsonObject DeviceMetric::toJson() const
{
    return QJsonObject{{u"key"_s, key},
                       {u"label"_s, label},
                       {u"value"_s, value},
                       {u"detail"_s, optionalText(detail)},
                       {u"status"_s, statusText(status)}};
}

const DeviceMetric *DeviceSection::metric(const QString &key) const
{
    for (const DeviceMetric &m : metrics) {
        if (m.key == key)
            return &m;
    }
    return nullptr;
}

QVariantList DeviceSection::metricList() const
{
    QVariantList list;
    for (const DeviceMetric &m : metrics)
        list << QVariant::fromValue(m);
    return list;
}

QJsonObject DeviceSection::toJson() const
{
    QJsonArray rows;
    for (const DeviceMetric &m : metrics)
        rows.append(m.toJson());
    return QJsonObject{{u"id"_s, id}, {u"title"_s, title}, {u"icon"_s, icon}, {u"metrics"_s, rows}};
}

QVariantList DiskLayout::containerList() const
{
    QVariantList list;
    for (const ApfsContainer &c : containers)
        list << QVariant::fromValue(c);
    return list;
}

QJsonObject CrossCheck::toJson() const
{
    return QJsonObject{{u"label"_s, label},
                       {u"result"_s, result},
                       {u"detail"_s, optionalText(detail)},
                       {u"status"_s, statusText(status)}};
}
