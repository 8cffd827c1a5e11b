#pragma once
// Strict field access for the record decoders: a missing, null or mistyped required key (and a mistyped
// optional one) fails the record; the first failure is reported as "Record.key: reason".
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class JsonReader
{
public:
    JsonReader(const QJsonValue &value, const char *record, QString *error);

    [[nodiscard]] bool ok() const { return m_ok; }

    QString string(const char *key);
    std::optional<QString> optString(const char *key);
    int integer(const char *key);
    double number(const char *key);
    bool boolean(const char *key);
    std::optional<bool> optBoolean(const char *key);
    QStringList strings(const char *key);

    template <typename T> T record(const char *key)
    {
        const auto v = find(key, Presence::required);
        return v ? child<T>(QJsonValue(*v), key) : T{};
    }

    template <typename T> std::optional<T> optRecord(const char *key)
    {
        const auto v = find(key, Presence::optional);
        return v ? decodeChild<T>(QJsonValue(*v), key, -1) : std::nullopt;
    }

    template <typename T> QList<T> list(const char *key)
    {
        const auto v = find(key, Presence::required);
        return v ? childList<T>(*v, key) : QList<T>{};
    }

    template <typename T> std::optional<QList<T>> optList(const char *key)
    {
        const auto v = find(key, Presence::optional);
        if (!v)
            return std::nullopt;
        QList<T> value = childList<T>(*v, key);
        return m_ok ? std::optional<QList<T>>(std::move(value)) : std::nullopt;
    }

private:
    // Integral values only (12 and 12.0, not 12.5), within int's range.
    static std::optional<int> toInteger(double value);
    enum class Presence { required, optional };
    // The value of key, read in place. Absent when missing or null, which fails a required key.
    std::optional<QJsonValueConstRef> find(const char *key, Presence presence);
    void fail(const char *key, const QString &reason);
    void failType(const char *key, const char *expected);

    template <typename T> T child(const QJsonValue &v, const char *key, qsizetype index = -1)
    {
        std::optional<T> value = decodeChild<T>(v, key, index);
        return value ? std::move(*value) : T{};
    }

    template <typename T> std::optional<T> decodeChild(const QJsonValue &v, const char *key, qsizetype index)
    {
        QString childError;
        std::optional<T> value = T::fromJson(v, &childError);
        if (!value)
            failChild(key, index, childError);
        return value;
    }

    template <typename T> QList<T> childList(const QJsonValueConstRef &v, const char *key)
    {
        if (!v.isArray()) {
            failType(key, "an array");
            return {};
        }
        const QJsonArray array = v.toArray();
        QList<T> result;
        result.reserve(array.size());
        qsizetype index = 0;
        for (const QJsonValueConstRef item : array) {
            std::optional<T> value = decodeChild<T>(item, key, index++);
            if (!value)
                return {};
            result.append(std::move(*value));
        }
        return result;
    }

    void failChild(const char *key, qsizetype index, const QString &childError);

    QJsonObject m_object;
    const char *m_record;
    QString *m_error;
    bool m_ok = true;
};
