#pragma once
// The JSON value a record's fromJson reads: a Qt JSON value, or a value of a reply body parsed in place by
// JsonReader::parse (valid only while that parse hands it out).
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>

class JsonNode
{
public:
    JsonNode(const QJsonValue &value)
        : m_value(value)
    { }
    JsonNode(QJsonValueConstRef value)
        : m_value(value)
    { }
    JsonNode(const QJsonObject &object)
        : m_value(object)
    { }
    JsonNode(const QJsonArray &array)
        : m_value(array)
    { }

private:
    friend class JsonReader;
    struct Parsed; // a value of the parsed body (JsonReader.cpp)
    explicit JsonNode(const Parsed *parsed)
        : m_parsed(parsed)
    { }

    QJsonValue m_value;
    const Parsed *m_parsed = nullptr;
};
