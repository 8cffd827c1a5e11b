#pragma once
// Finished device checks kept on disk, one JSON file per check in a folder per system serial, so a buyer can
// look back at an earlier check of the same Mac and see what changed since.

#include <QDateTime>
#include <QObject>
#include <QJsonObject>
#include <QList>
#include <QString>

#include <optional>

struct HistoryEntry
{
    QString path;
    QDateTime checkedAt;
    int score = 0;
    QString verdict;
    QString serial;
};

// One row that differs between two checks. `finding`: the difference is itself a problem (the system serial
// of "the same" Mac changed).
struct HistoryChange
{
    Q_GADGET
    Q_PROPERTY(QString label MEMBER label CONSTANT)
    Q_PROPERTY(QString before MEMBER before CONSTANT)
    Q_PROPERTY(QString after MEMBER after CONSTANT)
    Q_PROPERTY(bool finding MEMBER finding CONSTANT)

public:
    QString label;
    QString before;
    QString after;
    bool finding = false;
};

class DeviceHistory
{
public:
    // `folder` empty: the app's data folder + "DeviceHistory".
    explicit DeviceHistory(QString folder = {});

    [[nodiscard]] QString folder() const { return m_folder; }
    // Writes `record` (a check as DeviceCheck::toJson gives it, with "checkedAt") atomically: to `path` when
    // given (the same check, updated), otherwise to a new file. The file written, or empty on failure.
    QString save(const QJsonObject &record, const QString &path = {}) const;
    [[nodiscard]] static std::optional<QJsonObject> load(const QString &path);
    // Earlier checks of the Mac `current` describes, newest first, `currentPath` left out. The same Mac: the
    // same system serial, hardware UUID or typed case serial.
    [[nodiscard]] QList<HistoryEntry> earlier(const QJsonObject &current, const QString &currentPath) const;

    // The rows whose values differ: identity fields, the score and every metric row (the temperature, which
    // changes by the minute, left out).
    [[nodiscard]] static QList<HistoryChange> compare(const QJsonObject &before, const QJsonObject &after);

private:
    QString m_folder;
};
