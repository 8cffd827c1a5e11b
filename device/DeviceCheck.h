#pragma once
// One device check as a screen sees it: runs the steps in order on a fresh Diagnostics, publishing the
// identity, each section as it arrives, the cross-checks, issues, score and verdict, and the steps still
// pending, so a page can show progress. Also builds the plain-text report.

#include "device/Diagnostics.h"

#include <QDateTime>
#include <QObject>
#include <QVariantList>
#include <QtQml/qqmlregistration.h>

#include <QCoro/QCoroTask>

class DeviceCheck : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QVariant identity READ identityValue NOTIFY changed)
    Q_PROPERTY(QVariantList sections READ sectionList NOTIFY changed)
    Q_PROPERTY(QVariantList checks READ checkList NOTIFY changed)
    Q_PROPERTY(QStringList issues READ issues NOTIFY changed)
    Q_PROPERTY(int score READ score NOTIFY changed)
    Q_PROPERTY(QString verdict READ verdict NOTIFY changed)
    Q_PROPERTY(bool running READ running NOTIFY changed)
    Q_PROPERTY(bool started READ started NOTIFY changed)
    Q_PROPERTY(QStringList pending READ pending NOTIFY changed)
    Q_PROPERTY(QString pendingTitle READ pendingTitle NOTIFY changed)
    Q_PROPERTY(QDateTime scannedAt READ scannedAt NOTIFY changed)
    Q_PROPERTY(bool sampleData READ sampleData CONSTANT)
    Q_PROPERTY(QString profile READ profile CONSTANT)
    Q_PROPERTY(QString osVersion READ osVersion NOTIFY osVersionChanged)
    Q_PROPERTY(QVariantList steps READ stepList CONSTANT)

public:
    struct Step
    {
        QString key;
        QString title;
    };

    explicit DeviceCheck(QObject *parent = nullptr);
    explicit DeviceCheck(DiagnosticsConfig config, QObject *parent = nullptr);

    // The steps of a run, in order: identity, battery, storage, display, io, security, cross.
    [[nodiscard]] static const QList<Step> &steps();

    // The whole run; a second call while one is running does nothing. The previous identity stays until the
    // new one arrives; sections, checks and issues are cleared at the start.
    QCoro::Task<> runAllTask(bool forceRefresh);
    Q_INVOKABLE void runAll(bool forceRefresh);
    QCoro::Task<> loadOsVersionTask();
    Q_INVOKABLE void loadOsVersion();
    // The report text, or the empty text before the identity is known.
    [[nodiscard]] Q_INVOKABLE QString reportText() const;
    [[nodiscard]] QJsonObject toJson() const;

    // The pause after the identity step that lets a screen draw it (60 ms by default).
    void setStepPause(std::chrono::milliseconds pause) { m_stepPause = pause; }

    [[nodiscard]] const std::optional<DeviceIdentity> &identity() const { return m_identity; }
    [[nodiscard]] const QList<DeviceSection> &sections() const { return m_sections; }
    [[nodiscard]] const QList<CrossCheck> &checks() const { return m_checks; }
    [[nodiscard]] QStringList issues() const { return m_issues; }
    [[nodiscard]] int score() const { return m_score; }
    [[nodiscard]] QString verdict() const;
    [[nodiscard]] bool running() const { return m_running; }
    [[nodiscard]] bool started() const { return m_started; }
    [[nodiscard]] QStringList pending() const { return m_pending; }
    [[nodiscard]] QString pendingTitle() const;
    [[nodiscard]] QDateTime scannedAt() const { return m_scannedAt; }
    [[nodiscard]] bool sampleData() const { return m_config.sampleData; }
    [[nodiscard]] QString profile() const { return m_config.profile; }
    [[nodiscard]] QString osVersion() const { return m_osVersion; }
    // Processes started and time spent in them during the last run.
    [[nodiscard]] ToolStats lastStats() const { return m_stats; }

    [[nodiscard]] QVariant identityValue() const;
    [[nodiscard]] QVariantList sectionList() const;
    [[nodiscard]] QVariantList checkList() const;
    [[nodiscard]] QVariantList stepList() const;

Q_SIGNALS:
    void changed();
    void stepFinished(const QString &key);
    void finished();
    void osVersionChanged();

private:
    void finishStep(const QString &key);

    DiagnosticsConfig m_config;
    std::chrono::milliseconds m_stepPause{60};
    std::optional<DeviceIdentity> m_identity;
    QList<DeviceSection> m_sections;
    QList<CrossCheck> m_checks;
    QStringList m_issues;
    int m_score = 100;
    bool m_running = false;
    bool m_started = false;
    QStringList m_pending;
    QDateTime m_scannedAt;
    QString m_osVersion = kMissing;
    ToolStats m_stats;
};
