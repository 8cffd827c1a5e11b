#pragma once
// Runs the system tools of a device check, one at a time, on the calling thread. An optional tool root holds
// stand-ins or test doubles: its executables are found before the system's, and absolute tool paths
// ("/usr/bin/sw_vers") resolve under it when the file exists there.

#include <QHash>
#include <QString>
#include <QStringList>

#include <chrono>
#include <optional>

struct ToolOptions
{
    QString toolRoot; // empty: the system's tools only
    QHash<QString, QString> environment; // added to the inherited environment
    std::chrono::milliseconds timeout{60000};
};

struct ToolStats
{
    int processes = 0;
    qint64 toolNanoseconds = 0; // from each start to its exit
};

class ToolRunner
{
public:
    explicit ToolRunner(ToolOptions options = {});

    // `/bin/sh -c commandLine`; standard output as UTF-8, or the empty text on any failure. A tool that is
    // still running after the time limit is killed (with everything it started) and what it printed so far
    // is the result.
    [[nodiscard]] QString shell(const QString &commandLine);
    // Runs `program` directly; none when it cannot be started or its output is not UTF-8.
    [[nodiscard]] std::optional<QString> run(const QString &program, const QStringList &arguments);

    [[nodiscard]] QString resolveProgram(const QString &program) const;
    [[nodiscard]] QString resolveCommandLine(const QString &commandLine) const;
    [[nodiscard]] const ToolOptions &options() const { return m_options; }
    [[nodiscard]] ToolStats stats() const { return m_stats; }

private:
    std::optional<QString> execute(const QString &program, const QStringList &arguments);

    ToolOptions m_options;
    ToolStats m_stats;
};
