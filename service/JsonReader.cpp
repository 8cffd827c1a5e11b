#include "service/JsonReader.h"
#include "service/Logging.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <simdjson.h>
#include <type_traits>

using namespace Qt::StringLiterals;

using Element = simdjson::dom::element;
static_assert(sizeof(Element) == 16 && std::is_trivially_copyable_v<Element>);

struct JsonNode::Parsed
{
    Element element;
};

namespace {

// Integral values only (12 and 12.0, not 12.5), within int's range.
std::optional<int> toInteger(double d)
{
    if (!std::isfinite(d) || std::trunc(d) != d || d < std::numeric_limits<int>::min() ||
        d > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(d);
}

// What the accessors ask of a value, for a Qt value and for a parsed one.
struct QtValue
{
    QJsonValue value;

    [[nodiscard]] bool isNull() const { return value.isNull(); }
    [[nodiscard]] bool isString() const { return value.isString(); }
    [[nodiscard]] bool isNumber() const { return value.isDouble(); }
    [[nodiscard]] bool isBool() const { return value.isBool(); }
    [[nodiscard]] QString toString() const { return value.toString(); }
    [[nodiscard]] double toDouble() const { return value.toDouble(); }
    [[nodiscard]] bool toBool() const { return value.toBool(); }
};

struct ParsedValue
{
    Element element;

    [[nodiscard]] bool isNull() const { return element.is_null(); }
    [[nodiscard]] bool isString() const { return element.is_string(); }
    [[nodiscard]] bool isNumber() const { return element.is_number(); }
    [[nodiscard]] bool isBool() const { return element.is_bool(); }
    [[nodiscard]] QString toString() const
    {
        std::string_view text;
        if (element.get_string().get(text) != simdjson::SUCCESS)
            return {};
        return QString::fromUtf8(text.data(), qsizetype(text.size()));
    }
    // Integers too, as Qt's QJsonValue::toDouble reads them.
    [[nodiscard]] double toDouble() const
    {
        double d = 0;
        return element.get_double().get(d) == simdjson::SUCCESS ? d : 0.0;
    }
    [[nodiscard]] bool toBool() const
    {
        bool b = false;
        return element.get_bool().get(b) == simdjson::SUCCESS && b;
    }
};

template <typename Parsed, typename F> auto withValue(const Parsed *parsed, const QJsonValue &value, F &&f)
{
    return parsed ? f(ParsedValue{parsed->element}) : f(QtValue{value});
}

} // namespace

bool JsonReader::parse(const QByteArray &body, NodeCallback decode, void *context)
{
    // One parser per thread keeps its buffers from reply to reply (replies are decoded on the main thread and
    // on the pool's threads); an unusually large body gets a parser of its own, freed after it.
    constexpr qsizetype sharedParserBytes = 16 * 1024 * 1024;
    thread_local simdjson::dom::parser shared;
    std::optional<simdjson::dom::parser> own;
    simdjson::dom::parser &parser = body.size() <= sharedParserBytes ? shared : own.emplace();
    Element root;
    if (const auto error = parser.parse(body.constData(), size_t(body.size())).get(root); error != simdjson::SUCCESS) {
        qCDebug(lcService) << "simdjson refused the body:" << simdjson::error_message(error);
        return false;
    }
    if (!root.is_object() && !root.is_array())
        return false;
    const JsonNode::Parsed parsed{root};
    decode(context, JsonNode(&parsed));
    return true;
}

JsonReader::JsonReader(const JsonNode &json, const char *record, QString *error)
    : m_record(record)
    , m_error(error)
    , m_parsed(json.m_parsed)
{
    if (m_parsed ? !m_parsed->element.is_object() : !json.m_value.isObject()) {
        m_ok = false;
        if (m_error)
            *m_error = QString::fromLatin1(record) + u": expected a JSON object"_s;
        return;
    }
    if (m_parsed)
        indexParsed();
    else
        m_object = json.m_value.toObject();
}

void JsonReader::indexParsed()
{
    const simdjson::dom::object object = m_parsed->element.get_object().value_unsafe();
    if (object.size() > maxMembers)
        return;
    m_slots.fill(0);
    int count = 0;
    for (const simdjson::dom::key_value_pair member : object) {
        const quint32 hash = JsonKey::hashOf(member.key.data(), member.key.size());
        quint32 slot = hash % slotCount;
        while (m_slots[slot] != 0) {
            Member &other = m_members[m_slots[slot] - 1];
            if (other.hash == hash && other.size == member.key.size() &&
                std::memcmp(other.key, member.key.data(), member.key.size()) == 0)
                break;
            slot = (slot + 1) % slotCount;
        }
        const Member entry{member.key.data(), quint32(member.key.size()), hash,
                           std::bit_cast<std::array<std::byte, 16>>(member.value)};
        if (m_slots[slot] != 0) {
            // A repeated key: the last one wins, as with Qt's parser.
            m_members[m_slots[slot] - 1] = entry;
        } else {
            m_members[count] = entry;
            m_slots[slot] = quint8(++count);
        }
    }
    m_memberCount = count;
}

template <> std::optional<ParsedValue> JsonReader::find<ParsedValue>(JsonKey key, Presence presence)
{
    if (!m_ok)
        return std::nullopt;
    std::optional<ParsedValue> found;
    if (m_memberCount >= 0) {
        for (quint32 slot = key.hash % slotCount; m_slots[slot] != 0; slot = (slot + 1) % slotCount) {
            const Member &member = m_members[m_slots[slot] - 1];
            if (member.hash == key.hash && member.size == key.size &&
                std::memcmp(member.key, key.name, key.size) == 0) {
                found = ParsedValue{std::bit_cast<Element>(member.value)};
                break;
            }
        }
    } else {
        const std::string_view name(key.name, key.size);
        const simdjson::dom::object object = m_parsed->element.get_object().value_unsafe();
        for (const simdjson::dom::key_value_pair member : object) {
            if (member.key == name)
                found = ParsedValue{member.value}; // the last of repeated keys wins
        }
    }
    if (!found) {
        if (presence == Presence::required)
            fail(key, u"missing"_s);
        return std::nullopt;
    }
    if (found->isNull()) {
        if (presence == Presence::required)
            fail(key, u"null"_s);
        return std::nullopt;
    }
    return found;
}

template <> std::optional<QtValue> JsonReader::find<QtValue>(JsonKey key, Presence presence)
{
    if (!m_ok)
        return std::nullopt;
    const auto it = m_object.constFind(QLatin1StringView(key.name, key.size));
    if (it == m_object.constEnd()) {
        if (presence == Presence::required)
            fail(key, u"missing"_s);
        return std::nullopt;
    }
    QtValue value{it.value()};
    if (value.isNull()) {
        if (presence == Presence::required)
            fail(key, u"null"_s);
        return std::nullopt;
    }
    return value;
}

template <typename F> auto JsonReader::visit(JsonKey key, Presence presence, F &&f)
{
    return m_parsed ? f(find<ParsedValue>(key, presence)) : f(find<QtValue>(key, presence));
}

void JsonReader::fail(JsonKey key, const QString &reason)
{
    if (!m_ok)
        return;
    m_ok = false;
    if (m_error)
        *m_error = QString::fromLatin1(m_record) + u'.' + QString::fromLatin1(key.name, key.size) + u": "_s + reason;
}

void JsonReader::failType(JsonKey key, const char *expected)
{
    fail(key, u"expected "_s + QString::fromLatin1(expected));
}

void JsonReader::failChild(JsonKey key, qsizetype index, const QString &childError)
{
    const QString at = index < 0 ? QString() : u"[%1]"_s.arg(index);
    fail(key, at.isEmpty() ? childError : at + u" "_s + childError);
}

void JsonReader::child(JsonKey key, Presence presence, NodeCallback callback, void *context)
{
    if (m_parsed) {
        if (const auto value = find<ParsedValue>(key, presence)) {
            const JsonNode::Parsed parsed{value->element};
            callback(context, JsonNode(&parsed));
        }
    } else if (const auto value = find<QtValue>(key, presence)) {
        callback(context, JsonNode(value->value));
    }
}

bool JsonReader::items(JsonKey key, Presence presence, const char *expected, ItemCallback callback, void *context)
{
    if (m_parsed) {
        const auto value = find<ParsedValue>(key, presence);
        if (!value)
            return false;
        simdjson::dom::array array;
        if (value->element.get_array().get(array) != simdjson::SUCCESS) {
            failType(key, expected);
            return false;
        }
        const auto count = qsizetype(array.size());
        qsizetype index = 0;
        for (const Element item : array) {
            const JsonNode::Parsed parsed{item};
            if (!callback(context, JsonNode(&parsed), index++, count))
                break;
        }
        return true;
    }
    const auto value = find<QtValue>(key, presence);
    if (!value)
        return false;
    if (!value->value.isArray()) {
        failType(key, expected);
        return false;
    }
    const QJsonArray array = value->value.toArray();
    qsizetype index = 0;
    for (const QJsonValueConstRef item : array) {
        if (!callback(context, JsonNode(item), index++, array.size()))
            break;
    }
    return true;
}

QString JsonReader::string(JsonKey key)
{
    return visit(key, Presence::required, [&](const auto &v) {
        if (v && !v->isString())
            failType(key, "a string");
        return v ? v->toString() : QString();
    });
}

std::optional<QString> JsonReader::optString(JsonKey key)
{
    return visit(key, Presence::optional, [&](const auto &v) -> std::optional<QString> {
        if (!v)
            return std::nullopt;
        if (!v->isString()) {
            failType(key, "a string");
            return std::nullopt;
        }
        return v->toString();
    });
}

int JsonReader::integer(JsonKey key)
{
    return visit(key, Presence::required, [&](const auto &v) {
        if (!v)
            return 0;
        const auto i = v->isNumber() ? toInteger(v->toDouble()) : std::nullopt;
        if (!i)
            failType(key, "an integer");
        return i.value_or(0);
    });
}

double JsonReader::number(JsonKey key)
{
    return visit(key, Presence::required, [&](const auto &v) {
        if (v && !v->isNumber())
            failType(key, "a number");
        return v ? v->toDouble() : 0.0;
    });
}

bool JsonReader::boolean(JsonKey key)
{
    return visit(key, Presence::required, [&](const auto &v) {
        if (v && !v->isBool())
            failType(key, "true or false");
        return v ? v->toBool() : false;
    });
}

std::optional<bool> JsonReader::optBoolean(JsonKey key)
{
    return visit(key, Presence::optional, [&](const auto &v) -> std::optional<bool> {
        if (!v)
            return std::nullopt;
        if (!v->isBool()) {
            failType(key, "true or false");
            return std::nullopt;
        }
        return v->toBool();
    });
}

QStringList JsonReader::strings(JsonKey key)
{
    QStringList result;
    auto item = [&](const JsonNode &node, qsizetype index, qsizetype count) {
        return withValue(node.m_parsed, node.m_value, [&](const auto &v) {
            if (!v.isString()) {
                failType(key, "an array of strings");
                result.clear();
                return false;
            }
            if (index == 0)
                result.reserve(count);
            result.append(v.toString());
            return true;
        });
    };
    items(key, Presence::required, "an array of strings", &callItem<decltype(item)>, &item);
    return result;
}
