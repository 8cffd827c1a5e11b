#pragma once
// Strict field access for the record decoders: a missing, null or mistyped required key (and a mistyped
// optional one) fails the record; the first failure is reported as "Record.key: reason".
//
// Reply bodies are parsed in place by a SIMD parser (JsonReader::parse) and a reader indexes an object's
// members by key once, so each field costs one hashed look-up and, for text, one conversion to QString.
#include "service/JsonNode.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <array>
#include <cstddef>
#include <optional>
#include <type_traits>

// A key of a record, hashed at compile time.
struct JsonKey
{
    template <std::size_t N>
    consteval JsonKey(const char (&text)[N])
        : name(text)
        , size(N - 1)
        , hash(hashOf(text, N - 1))
    { }

    // FNV-1a.
    static constexpr quint32 hashOf(const char *text, std::size_t size)
    {
        quint32 h = 2166136261u;
        for (std::size_t i = 0; i < size; ++i)
            h = (h ^ static_cast<unsigned char>(text[i])) * 16777619u;
        return h;
    }

    const char *name;
    quint32 size;
    quint32 hash;
};

class JsonReader
{
public:
    JsonReader(const JsonNode &json, const char *record, QString *error);
    JsonReader(const JsonReader &) = delete;
    JsonReader &operator=(const JsonReader &) = delete;

    // Parses body in place and, when it is a JSON object or array, calls decode(const JsonNode &root).
    // False when the parser refuses it (the caller then asks Qt's parser, which words the error).
    template <typename F> static bool parse(const QByteArray &body, F &&decode)
    {
        return parse(body, &call<std::remove_reference_t<F>>, &decode);
    }

    [[nodiscard]] bool ok() const { return m_ok; }

    QString string(JsonKey key);
    std::optional<QString> optString(JsonKey key);
    int integer(JsonKey key);
    double number(JsonKey key);
    bool boolean(JsonKey key);
    std::optional<bool> optBoolean(JsonKey key);
    QStringList strings(JsonKey key);

    template <typename T> T record(JsonKey key)
    {
        std::optional<T> value;
        child(key, Presence::required, [&](const JsonNode &node) { value = decodeChild<T>(node, key, -1); });
        return value ? std::move(*value) : T{};
    }

    template <typename T> std::optional<T> optRecord(JsonKey key)
    {
        std::optional<T> value;
        child(key, Presence::optional, [&](const JsonNode &node) { value = decodeChild<T>(node, key, -1); });
        return value;
    }

    template <typename T> QList<T> list(JsonKey key)
    {
        return childList<T>(key, Presence::required).value_or(QList<T>{});
    }

    template <typename T> std::optional<QList<T>> optList(JsonKey key)
    {
        std::optional<QList<T>> value = childList<T>(key, Presence::optional);
        return m_ok ? value : std::nullopt;
    }

private:
    enum class Presence { required, optional };
    // Calls back with a node (child), or with each item, its index and the array's size until one returns
    // false (items).
    using NodeCallback = void (*)(void *context, const JsonNode &node);
    using ItemCallback = bool (*)(void *context, const JsonNode &item, qsizetype index, qsizetype count);
    template <typename F> static void call(void *f, const JsonNode &node) { (*static_cast<F *>(f))(node); }
    template <typename F> static bool callItem(void *f, const JsonNode &item, qsizetype index, qsizetype count)
    {
        return (*static_cast<F *>(f))(item, index, count);
    }

    static bool parse(const QByteArray &body, NodeCallback decode, void *context);
    void child(JsonKey key, Presence presence, NodeCallback callback, void *context);
    template <typename F> void child(JsonKey key, Presence presence, F &&f)
    {
        child(key, presence, &call<std::remove_reference_t<F>>, &f);
    }
    // False when key is missing or null (failing a required key) or not an array (failing with expected).
    bool items(JsonKey key, Presence presence, const char *expected, ItemCallback callback, void *context);

    template <typename T> std::optional<QList<T>> childList(JsonKey key, Presence presence)
    {
        QList<T> result;
        auto item = [&](const JsonNode &node, qsizetype index, qsizetype count) {
            std::optional<T> value = decodeChild<T>(node, key, index);
            if (!value) {
                result.clear();
                return false;
            }
            if (index == 0)
                result.reserve(count);
            result.append(std::move(*value));
            return true;
        };
        if (!items(key, presence, "an array", &callItem<decltype(item)>, &item))
            return std::nullopt;
        return result;
    }

    template <typename T> std::optional<T> decodeChild(const JsonNode &node, JsonKey key, qsizetype index)
    {
        QString childError;
        std::optional<T> value = T::fromJson(node, &childError);
        if (!value)
            failChild(key, index, childError);
        return value;
    }

    // Each accessor's work for either kind of node; defined in JsonReader.cpp.
    template <typename F> auto visit(JsonKey key, Presence presence, F &&f);
    template <typename Value> std::optional<Value> find(JsonKey key, Presence presence);
    void fail(JsonKey key, const QString &reason);
    void failType(JsonKey key, const char *expected);
    void failChild(JsonKey key, qsizetype index, const QString &childError);
    void indexParsed();

    const char *m_record;
    QString *m_error;
    bool m_ok = true;
    // A Qt object ...
    QJsonObject m_object;
    // ... or a parsed one, its members hashed by key into m_slots (member index + 1; 0 is empty).
    // Objects of more than maxMembers members are searched member by member.
    const JsonNode::Parsed *m_parsed = nullptr;
    struct Member
    {
        const char *key;
        quint32 size;
        quint32 hash;
        alignas(8) std::array<std::byte, 16> value; // the parser's element
    };
    static constexpr int maxMembers = 48;
    static constexpr int slotCount = 128;
    int m_memberCount = -1; // -1: not indexed
    std::array<quint8, slotCount> m_slots;
    std::array<Member, maxMembers> m_members;
};
