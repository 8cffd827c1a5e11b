#pragma once
// Runs the system tools of a device check, one at a time, on the calling thread. An optional tool root holds
// stand-ins or test doubles: its executables are found before the system's, and absolute tool paths
// ("/usr/bin/sw_vers") resolve under it when the file exists there. Without one, on macOS, the known tools run
// from their absolute paths (ToolPaths).

#include "device/ToolPaths.h"

#include <QDeadlineTimer>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <atomic>
#include <chrono>
#include <optional>

struct ToolOptions
{
    QString toolRoot; // empty: the system's tools only
    QHash<QString, QString> environment; // added to the inherited environment
    std::chrono::milliseconds timeout{30000}; // one tool
    std::chrono::milliseconds budget{90000}; // all the tools of one runner together
    qint64 maxOutputBytes = 4 * 1024 * 1024; // far above what any tool prints
    bool macToolPaths = ToolPaths::onMacOS(); // without a tool root: "ioreg" runs as /usr/sbin/ioreg
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

    // `/bin/sh -c commandLine`; standard output as UTF-8, or the empty text when there is no readable answer.
    [[nodiscard]] QString shell(const QString &commandLine);
    // The same, absent when there is no readable answer: the tool did not start, printed what is not UTF-8 or
    // more than the output limit, ran past its time limit or the budget, or the runner was stopped.
    [[nodiscard]] std::optional<QString> read(const QString &commandLine);
    // Runs `program` directly; absent as for read().
    [[nodiscard]] std::optional<QString> run(const QString &program, const QStringList &arguments);
    // Kills the tool running now with everything it started, and starts none after it. Any thread may call it.
    void stop();

    [[nodiscard]] QString resolveProgram(const QString &program) const;
    [[nodiscard]] QString resolveCommandLine(const QString &commandLine) const;
    [[nodiscard]] const ToolOptions &options() const { return m_options; }
    [[nodiscard]] ToolStats stats() const { return m_stats; }

private:
    std::optional<QString> execute(const QString &tool, const QString &program, const QStringList &arguments);

    ToolOptions m_options;
    ToolStats m_stats;
    QDeadlineTimer m_budget; // started with the runner
    QSet<QString> m_hung; // tools that ran past their time limit: not started again
    std::atomic_bool m_stopped{false};
    std::atomic<qint64> m_group{0}; // process group of the tool running now
};

// Every tool runs in a process group of its own, so a stopped tool takes its children with it. These kill the
// groups of all tools running in this process.
namespace ToolGroups {
// Async-signal-safe.
void killAll();
// On SIGTERM and SIGINT: kills the tools' groups, then ends the program as the signal would have.
void killOnSignals();
} // namespace ToolGroups
