#pragma once
// What every record header needs: the JSON value fromJson reads, and conversions from a record's C++
// members to what its QML properties show.
#include "service/JsonNode.h"

#include <QList>
#include <QVariant>
#include <optional>

template <typename T> QVariant optionalVariant(const std::optional<T> &value)
{
    return value ? QVariant::fromValue(*value) : QVariant();
}

template <typename T> QVariantList variantList(const QList<T> &list)
{
    QVariantList result;
    result.reserve(list.size());
    for (const T &item : list)
        result.append(QVariant::fromValue(item));
    return result;
}
