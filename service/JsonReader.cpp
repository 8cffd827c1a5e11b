#include "service/JsonReader.h"

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

JsonReader::JsonReader(const QJsonValue &value, const char *record, QString *error)
    : m_record(record)
    , m_error(error)
{
    if (value.isObject()) {
        m_object = value.toObject();
    } else {
        m_ok = false;
        if (m_error)
            *m_error = QString::fromLatin1(record) + u": expected a JSON object"_s;
    }
}

void JsonReader::fail(const char *key, const QString &reason)
{
    if (!m_ok)
        return;
    m_ok = false;
    if (m_error)
        *m_error = QString::fromLatin1(m_record) + u'.' + QString::fromLatin1(key) + u": "_s + reason;
}

void JsonReader::failType(const char *key, const char *expected)
{
    fail(key, u"expected "_s + QString::fromLatin1(expected));
}

void JsonReader::failChild(const char *key, qsizetype index, const QString &childError)
{
    const QString at = index < 0 ? QString() : u"[%1]"_s.arg(index);
    fail(key, at.isEmpty() ? childError : at + u" "_s + childError);
}

std::optional<QJsonValueConstRef> JsonReader::find(const char *key, Presence presence)
{
    if (!m_ok)
        return std::nullopt;
    const auto it = m_object.constFind(QLatin1StringView(key));
    if (it == m_object.constEnd()) {
        if (presence == Presence::required)
            fail(key, u"missing"_s);
        return std::nullopt;
    }
    const QJsonValueConstRef value = it.value();
    if (value.isNull()) {
        if (presence == Presence::required)
            fail(key, u"null"_s);
        return std::nullopt;
    }
    return value;
}

std::optional<int> JsonReader::toInteger(double d)
{
    if (!std::isfinite(d) || std::trunc(d) != d || d < std::numeric_limits<int>::min() ||
        d > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(d);
}

QString JsonReader::string(const char *key)
{
    const auto v = find(key, Presence::required);
    if (v && !v->isString())
        failType(key, "a string");
    return v ? v->toString() : QString();
}

std::optional<QString> JsonReader::optString(const char *key)
{
    const auto v = find(key, Presence::optional);
    if (!v)
        return std::nullopt;
    if (!v->isString()) {
        failType(key, "a string");
        return std::nullopt;
    }
    return v->toString();
}

int JsonReader::integer(const char *key)
{
    const auto v = find(key, Presence::required);
    if (!v)
        return 0;
    const auto i = v->isDouble() ? toInteger(v->toDouble()) : std::nullopt;
    if (!i)
        failType(key, "an integer");
    return i.value_or(0);
}

double JsonReader::number(const char *key)
{
    const auto v = find(key, Presence::required);
    if (v && !v->isDouble())
        failType(key, "a number");
    return v ? v->toDouble() : 0.0;
}

bool JsonReader::boolean(const char *key)
{
    const auto v = find(key, Presence::required);
    if (v && !v->isBool())
        failType(key, "true or false");
    return v ? v->toBool() : false;
}

std::optional<bool> JsonReader::optBoolean(const char *key)
{
    const auto v = find(key, Presence::optional);
    if (!v)
        return std::nullopt;
    if (!v->isBool()) {
        failType(key, "true or false");
        return std::nullopt;
    }
    return v->toBool();
}

QStringList JsonReader::strings(const char *key)
{
    const auto v = find(key, Presence::required);
    if (!v)
        return {};
    if (!v->isArray()) {
        failType(key, "an array of strings");
        return {};
    }
    const QJsonArray array = v->toArray();
    QStringList result;
    result.reserve(array.size());
    for (const QJsonValueConstRef item : array) {
        if (!item.isString()) {
            failType(key, "an array of strings");
            return {};
        }
        result.append(item.toString());
    }
    return result;
}
