#pragma once
// Fixture files from the data/ folder beside a test's CMakeLists.txt (DATA_DIR), strict decoding into records, and
// reading back the files a test made.
#include <QByteArray>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

inline QByteArray readFixture(const QString &name)
{
    QFile file(QStringLiteral(DATA_DIR "/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing fixture %s", qPrintable(name));
    return file.readAll();
}

// A file's whole content; empty when it cannot be read.
inline QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline QString readText(const QString &path)
{
    return QString::fromUtf8(readBytes(path));
}

inline QJsonObject readJson(const QString &name)
{
    return QJsonDocument::fromJson(readFixture(name)).object();
}

// The object a JSON text (UTF-8) holds; a text that is not one stops the test.
inline QJsonObject parsedObject(const char *json)
{
    const QJsonDocument document = QJsonDocument::fromJson(json);
    if (!document.isObject())
        qFatal("fixture is not a JSON object: %s", json);
    return document.object();
}

// The record a fixture must decode into; a fixture that does not decode stops the test.
template <typename T> T decode(const QJsonValue &json)
{
    QString error;
    auto value = T::fromJson(json, &error);
    if (!value)
        qFatal("fixture does not decode: %s", qPrintable(error));
    return *value;
}
