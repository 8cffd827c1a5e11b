#include "service/JSONValue.h"

#include <QJsonObject>

using namespace Qt::StringLiterals;

JSONValue JSONValue::fromJson(const QJsonValue &value)
{
    switch (value.type()) {
    case QJsonValue::String:
        return {Kind::string, value.toString(), 0, false};
    case QJsonValue::Double:
        return {Kind::number, {}, value.toDouble(), false};
    case QJsonValue::Bool:
        return {Kind::boolean, {}, 0, value.toBool()};
    default:
        return {};
    }
}

QVariant JSONValue::toVariant() const
{
    switch (kind) {
    case Kind::string:
        return string;
    case Kind::number:
        return number;
    case Kind::boolean:
        return boolean;
    case Kind::null:
        break;
    }
    return QVariant::fromValue(nullptr);
}

std::optional<JSONObject> jsonObjectFromJson(const QJsonValue &value, QString *error)
{
    if (!value.isObject()) {
        if (error)
            *error = u"object: expected a JSON object"_s;
        return std::nullopt;
    }
    const QJsonObject object = value.toObject();
    JSONObject result;
    result.reserve(object.size());
    for (auto it = object.begin(); it != object.end(); ++it)
        result.insert(it.key(), JSONValue::fromJson(it.value()));
    return result;
}
