#pragma once

#include <QMetaType>
#include <QString>
#include <QtQml/qqmlregistration.h>

// One installed application bundle as found by a scan. Immutable; two records are equal when every field is.
class LocalApp
{
    Q_GADGET
    QML_VALUE_TYPE(localApp)
    Q_PROPERTY(QString id READ id CONSTANT)
    Q_PROPERTY(QString name READ name CONSTANT)
    Q_PROPERTY(QString bundlePath READ bundlePath CONSTANT)
    Q_PROPERTY(QString version READ version CONSTANT)
    Q_PROPERTY(QString bundleId READ bundleId CONSTANT)
    Q_PROPERTY(qint64 sizeBytes READ sizeBytes CONSTANT)
    Q_PROPERTY(QString sizeLabel READ sizeLabel CONSTANT)

public:
    LocalApp() = default;
    LocalApp(QString bundlePath, QString name, QString version, QString bundleId, qint64 sizeBytes);

    // The record's identity is its bundle path.
    [[nodiscard]] QString id() const { return m_bundlePath; }
    [[nodiscard]] QString name() const { return m_name; }
    [[nodiscard]] QString bundlePath() const { return m_bundlePath; }
    [[nodiscard]] QString version() const { return m_version; }
    [[nodiscard]] QString bundleId() const { return m_bundleId; }
    [[nodiscard]] qint64 sizeBytes() const { return m_sizeBytes; }
    [[nodiscard]] QString sizeLabel() const;

    friend bool operator==(const LocalApp &, const LocalApp &) = default;

private:
    QString m_bundlePath;
    QString m_name;
    QString m_version;
    QString m_bundleId;
    qint64 m_sizeBytes = 0;
};

Q_DECLARE_METATYPE(LocalApp)
