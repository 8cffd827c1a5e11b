#pragma once
// One device check as a screen sees it: runs the steps in order on a fresh Diagnostics, publishing the
// identity, each section as it arrives, the cross-checks, issues, score and verdict, and the steps still
// pending, so a page can show progress. Also builds the plain-text report.

#include "device/DeviceHistory.h"
#include "device/DeviceHistoryModel.h"
#include "device/DeviceSectionModel.h"
#include "device/DeviceSummary.h"
#include "device/Diagnostics.h"

#include <QDateTime>
#include <QImage>
#include <QObject>
#include <QVariantList>
#include <QVariantMap>
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
    Q_PROPERTY(QString osVersion READ osVersion NOTIFY osVersionChanged)
    Q_PROPERTY(QVariantList steps READ stepList CONSTANT)
    // What the device page shows, derived from the records above.
    Q_PROPERTY(DeviceSectionModel *sectionModel READ sectionModel CONSTANT)
    Q_PROPERTY(QString statusText READ statusText NOTIFY changed)
    Q_PROPERTY(QString progressText READ progressText NOTIFY changed)
    Q_PROPERTY(QString scoreLevel READ scoreLevel NOTIFY changed)
    Q_PROPERTY(QString crossSummary READ crossSummary NOTIFY changed)
    Q_PROPERTY(QVariantMap storageBar READ storageBar NOTIFY changed)
    Q_PROPERTY(QVariantMap batteryBar READ batteryBar NOTIFY changed)
    Q_PROPERTY(QString batteryLine READ batteryLine NOTIFY changed)
    Q_PROPERTY(QString deviceKind READ deviceKind NOTIFY changed)
    Q_PROPERTY(QString footerText READ footerText NOTIFY changed)
    Q_PROPERTY(bool showAll READ showAll WRITE setShowAll NOTIFY showAllChanged)
    Q_PROPERTY(QVariantList cells READ cells NOTIFY cellsChanged)
    // The bundled sample Macs the page may switch between (none on macOS) and the one in use.
    Q_PROPERTY(QStringList profiles READ profiles CONSTANT)
    Q_PROPERTY(QString profile READ profile WRITE setProfile NOTIFY profileChanged)
    // Answers of the guided hands-on checks; the empty text is a check not done.
    Q_PROPERTY(QString screenAnswer READ screenAnswer NOTIFY handsOnChanged)
    Q_PROPERTY(QString keyboardAnswer READ keyboardAnswer NOTIFY handsOnChanged)
    Q_PROPERTY(QString speakerLeftAnswer READ speakerLeftAnswer NOTIFY handsOnChanged)
    Q_PROPERTY(QString speakerRightAnswer READ speakerRightAnswer NOTIFY handsOnChanged)
    // The serial printed on the case or the box, as the buyer typed it; compared with the system serial.
    Q_PROPERTY(QString caseSerial READ caseSerial WRITE setCaseSerial NOTIFY caseSerialChanged)
    // The 机身序列号核对 cross-check once the check has finished, or undefined.
    Q_PROPERTY(QVariant caseSerialCheck READ caseSerialCheck NOTIFY changed)
    // The firmware password can be read now (an Intel Mac whose password was not read yet), and is being read.
    Q_PROPERTY(bool firmwareCheckable READ firmwareCheckable NOTIFY changed)
    Q_PROPERTY(bool firmwareChecking READ firmwareChecking NOTIFY changed)
    // Earlier checks of this Mac, and the rows that changed since the one chosen with compareWith().
    Q_PROPERTY(DeviceHistoryModel *historyModel READ historyModel CONSTANT)
    Q_PROPERTY(int comparedRow READ comparedRow NOTIFY historyChanged)
    Q_PROPERTY(QVariantList historyChanges READ historyChanges NOTIFY historyChanged)
    // The picture written by the last exportImage(), or empty.
    Q_PROPERTY(QString exportedImage READ exportedImage NOTIFY exportedImageChanged)

public:
    struct Step
    {
        QString key;
        QString title;
    };

    explicit DeviceCheck(QObject *parent = nullptr);
    explicit DeviceCheck(DiagnosticsConfig config, QObject *parent = nullptr);
    ~DeviceCheck() override;

    // The steps of a run, in order: identity, battery, storage, display, io, security, cross.
    [[nodiscard]] static const QList<Step> &steps();

    // The whole run; a second call while one is running does nothing. The previous identity stays until the
    // new one arrives; sections, checks and issues are cleared at the start.
    QCoro::Task<> runAllTask(bool forceRefresh);
    Q_INVOKABLE void runAll(bool forceRefresh);
    QCoro::Task<> loadOsVersionTask();
    Q_INVOKABLE void loadOsVersion();
    // The report text, or the empty text before the identity is known. Answers of hands-on checks that were
    // done follow the sections.
    [[nodiscard]] Q_INVOKABLE QString reportText() const;
    // Puts the report on the clipboard as plain text; false (and nothing copied) before the identity is known.
    Q_INVOKABLE bool copyReport() const;
    // key: "screen", "speakerLeft", "speakerRight"; or "keyboard" with the keys seen of the keys on the map.
    Q_INVOKABLE void setAnswer(const QString &key, const QString &answer, int keysSeen = 0, int keysTotal = 0);
    [[nodiscard]] Q_INVOKABLE static QString profileTitle(const QString &profile);
    [[nodiscard]] QJsonObject toJson() const;

    // Reads the firmware password with administrator rights (the system's own password prompt on macOS).
    QCoro::Task<> checkFirmwareTask();
    Q_INVOKABLE void checkFirmware();
    // Compares the current check with the earlier one in `row` of the history model; -1 clears.
    Q_INVOKABLE void compareWith(int row);
    // The shareable picture of the finished check, or a null image before the identity is known.
    [[nodiscard]] QImage cardImage() const;
    // Saves the picture in the Pictures folder and puts it on the clipboard; the file, or empty on failure.
    Q_INVOKABLE QString exportImage();
    // The firmware password is read during the run itself (the command-line tool, which runs with the rights
    // it was given) instead of on request.
    void setCheckFirmwareDuringRun(bool check) { m_checkFirmwareDuringRun = check; }
    // Where finished checks are kept; an empty folder keeps none.
    void setHistoryFolder(const QString &folder);

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
    // Switches to another bundled sample Mac; a check already started runs again with it.
    void setProfile(const QString &profile);
    [[nodiscard]] QStringList profiles() const;
    [[nodiscard]] QString osVersion() const { return m_osVersion; }
    // Processes started and time spent in them during the last run.
    [[nodiscard]] ToolStats lastStats() const { return m_stats; }

    [[nodiscard]] DeviceSectionModel *sectionModel() { return &m_sectionModel; }
    [[nodiscard]] QString statusText() const;
    [[nodiscard]] QString progressText() const;
    [[nodiscard]] QString scoreLevel() const { return ::statusText(DeviceSummary::scoreLevel(m_score)); }
    [[nodiscard]] QString crossSummary() const { return DeviceSummary::crossSummary(m_checks); }
    [[nodiscard]] QVariantMap storageBar() const { return DeviceSummary::storageBar(section(u"storage")).toMap(); }
    [[nodiscard]] QVariantMap batteryBar() const { return DeviceSummary::batteryBar(section(u"battery")).toMap(); }
    [[nodiscard]] QString batteryLine() const { return DeviceSummary::batteryLine(section(u"battery")); }
    [[nodiscard]] QString deviceKind() const;
    [[nodiscard]] QString footerText() const;
    [[nodiscard]] bool showAll() const { return m_showAll; }
    void setShowAll(bool showAll);
    [[nodiscard]] QVariantList cells() const;
    [[nodiscard]] QString screenAnswer() const { return m_handsOn.screen; }
    [[nodiscard]] QString keyboardAnswer() const { return m_handsOn.keyboard; }
    [[nodiscard]] QString speakerLeftAnswer() const { return m_handsOn.speakerLeft; }
    [[nodiscard]] QString speakerRightAnswer() const { return m_handsOn.speakerRight; }
    [[nodiscard]] const DeviceSection *section(QStringView id) const;
    [[nodiscard]] QString caseSerial() const { return m_caseSerial; }
    void setCaseSerial(const QString &serial);
    [[nodiscard]] QVariant caseSerialCheck() const;
    [[nodiscard]] bool firmwareCheckable() const;
    [[nodiscard]] bool firmwareChecking() const { return m_firmwareChecking; }
    [[nodiscard]] DeviceHistoryModel *historyModel() { return &m_historyModel; }
    [[nodiscard]] int comparedRow() const { return m_comparedRow; }
    [[nodiscard]] QVariantList historyChanges() const;
    [[nodiscard]] QString exportedImage() const { return m_exportedImage; }
    [[nodiscard]] QString historyPath() const { return m_historyPath; }

    [[nodiscard]] QVariant identityValue() const;
    [[nodiscard]] QVariantList sectionList() const;
    [[nodiscard]] QVariantList checkList() const;
    [[nodiscard]] QVariantList stepList() const;

Q_SIGNALS:
    void changed();
    void stepFinished(const QString &key);
    void finished();
    void osVersionChanged();
    void showAllChanged();
    void cellsChanged();
    void profileChanged();
    void handsOnChanged();
    void caseSerialChanged();
    void historyChanged();
    void exportedImageChanged();
    // The firmware password was asked for but nothing came back (the prompt was cancelled).
    void firmwareNotRead();

private:
    void finishStep(const QString &key);
    // The standing cross-checks plus the trap checks over the current sections and case serial, and the score.
    void applyTraps();
    void keepInHistory();

    CrossCheckResult m_baseCross;
    QString m_caseSerial;
    bool m_checkFirmwareDuringRun = false;
    bool m_firmwareChecking = false;
    DeviceHistory m_history;
    bool m_keepHistory = true;
    QString m_historyPath; // the file of the check shown
    DeviceHistoryModel m_historyModel;
    int m_comparedRow = -1;
    QList<HistoryChange> m_changes;
    QString m_exportedImage;

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
    std::weak_ptr<Diagnostics> m_run; // the worker of the run going on, held by the run
    DeviceSectionModel m_sectionModel;
    bool m_showAll = false;
    bool m_rerun = false; // the profile changed while a run was going
    DeviceSummary::HandsOn m_handsOn;
};
