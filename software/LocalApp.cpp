#include "software/LocalApp.h"

#include "software/ByteCount.h"

LocalApp::LocalApp(QString bundlePath, QString name, QString version, QString bundleId, qint64 sizeBytes)
    : m_bundlePath(std::move(bundlePath))
    , m_name(std::move(name))
    , m_version(std::move(version))
    , m_bundleId(std::move(bundleId))
    , m_sizeBytes(sizeBytes)
{ }

QString LocalApp::sizeLabel() const
{
    return fileByteCount(m_sizeBytes);
}
