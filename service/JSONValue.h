#pragma once
// One untyped JSON scalar, the value type of free-form replies.
#include <QHash>
#include <QJsonValue>
#include <QString>
#include <QVariant>
#include <optional>

struct JSONValue
{
    enum class Kind { string, number, boolean, null };
    Kind kind = Kind::null;
    QString string;
    double number = 0;
    bool boolean = false;

    // A string, else a number, else a boolean; anything else (null, object, array) is null. Never fails.
    static JSONValue fromJson(const QJsonValue &value);
    [[nodiscard]] QVariant toVariant() const;
    friend bool operator==(const JSONValue &, const JSONValue &) = default;
};

using JSONObject = QHash<QString, JSONValue>;
// A JSON object read as string -> JSONValue; absent (with error set) when the value is not an object.
std::optional<JSONObject> jsonObjectFromJson(const QJsonValue &value, QString *error);
