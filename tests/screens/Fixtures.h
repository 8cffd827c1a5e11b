#pragma once
// Fixture helpers shared by the screen tests: JSON files from data/ and strict decoding into records.
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

inline QJsonObject readJson(const QString &name)
{
    QFile file(QStringLiteral(DATA_DIR "/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing fixture %s", qPrintable(name));
    return QJsonDocument::fromJson(file.readAll()).object();
}

template <typename T> T decode(const QJsonValue &json)
{
    QString error;
    auto value = T::fromJson(json, &error);
    if (!value)
        qFatal("fixture does not decode: %s", qPrintable(error));
    return *value;
}
