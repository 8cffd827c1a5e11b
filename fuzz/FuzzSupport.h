#pragma once
// Helpers shared by the fuzz targets: a Qt core application for the code that needs one, and a scratch
// folder for readers that only take a file path.
#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

namespace Fuzz {

inline QByteArray bytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
}

// Created once per process; libFuzzer runs every input in the same process.
inline void ensureApplication()
{
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "vexlo-fuzz";
    static char *argv[] = {name, nullptr};
    new QCoreApplication(argc, argv);
}

// A folder under the system's temporary folder that lives as long as the process.
inline QString scratchDir()
{
    static QTemporaryDir dir;
    return dir.path();
}

// Replaces the file at path with exactly these bytes.
inline void writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(path.section(u'/', 0, -2));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(content);
}

} // namespace Fuzz
