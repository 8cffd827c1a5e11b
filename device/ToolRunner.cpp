#include "device/ToolRunner.h"
#include "device/Logging.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStringDecoder>

#include <array>
#include <csignal>
#include <cstdlib>
#include <limits>
#include <sys/types.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// The groups of the tools running now, one slot each; a plain array of lock-free atomics, so a signal handler
// may read it.
std::array<std::atomic<pid_t>, 64> runningGroups{};

void addGroup(pid_t group)
{
    static const bool atExit = [] { return std::atexit(ToolGroups::killAll) == 0; }();
    Q_UNUSED(atExit);
    for (auto &slot : runningGroups) {
        pid_t empty = 0;
        if (slot.compare_exchange_strong(empty, group))
            return;
    }
}

void removeGroup(pid_t group)
{
    for (auto &slot : runningGroups) {
        pid_t held = group;
        if (slot.compare_exchange_strong(held, 0))
            return;
    }
}

void killGroup(qint64 group)
{
    if (group > 0)
        ::kill(-static_cast<pid_t>(group), SIGKILL);
}

void killGroupsAndEnd(int signal)
{
    ToolGroups::killAll();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// The first word of a command line: a tool that hung is not started again, whatever its arguments.
QString toolName(const QString &commandLine)
{
    return commandLine.section(u' ', 0, 0, QString::SectionSkipEmpty);
}

int remainingMs(const QDeadlineTimer &deadline)
{
    return int(std::min<qint64>(deadline.remainingTime(), std::numeric_limits<int>::max()));
}

} // namespace

void ToolGroups::killAll()
{
    for (auto &slot : runningGroups)
        killGroup(slot.load());
}

void ToolGroups::killOnSignals()
{
    std::signal(SIGTERM, killGroupsAndEnd);
    std::signal(SIGINT, killGroupsAndEnd);
}

ToolRunner::ToolRunner(ToolOptions options)
    : m_options(std::move(options))
    , m_budget(m_options.budget)
{ }

QString ToolRunner::resolveProgram(const QString &program) const
{
    if (m_options.toolRoot.isEmpty() || !program.startsWith(u'/'))
        return program;
    const QFileInfo candidate(m_options.toolRoot + program);
    return candidate.isFile() && candidate.isExecutable() ? candidate.filePath() : program;
}

QString ToolRunner::resolveCommandLine(const QString &given) const
{
    const bool systemTools = m_options.toolRoot.isEmpty() && m_options.macToolPaths;
    const QString commandLine = systemTools ? ToolPaths::absoluteCommandLine(given) : given;
    if (!commandLine.startsWith(u'/'))
        return commandLine;
    const qsizetype end = commandLine.indexOf(u' ');
    const QString program = end < 0 ? commandLine : commandLine.left(end);
    const QString resolved = resolveProgram(program);
    return resolved == program ? commandLine : resolved + commandLine.mid(program.size());
}

QString ToolRunner::shell(const QString &commandLine)
{
    return read(commandLine).value_or(QString());
}

std::optional<QString> ToolRunner::read(const QString &commandLine)
{
    return execute(toolName(commandLine), u"/bin/sh"_s, {u"-c"_s, resolveCommandLine(commandLine)});
}

std::optional<QString> ToolRunner::run(const QString &program, const QStringList &arguments)
{
    return execute(program, resolveProgram(program), arguments);
}

void ToolRunner::stop()
{
    m_stopped = true;
    killGroup(m_group.load());
}

std::optional<QString> ToolRunner::execute(const QString &tool, const QString &program, const QStringList &arguments)
{
    if (m_stopped || m_budget.hasExpired() || m_hung.contains(tool)) {
        qCDebug(lcDevice).noquote() << tool << "not run: the check is over, out of time, or the tool hung before";
        return std::nullopt;
    }
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (auto it = m_options.environment.cbegin(); it != m_options.environment.cend(); ++it)
        environment.insert(it.key(), it.value());
    if (!m_options.toolRoot.isEmpty()) {
        const QString path = environment.value(u"PATH"_s, u"/usr/bin:/bin:/usr/sbin:/sbin"_s);
        environment.insert(u"PATH"_s, m_options.toolRoot + u':' + path);
    }
    process.setProcessEnvironment(environment);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    // Its own process group, so stopping the tool stops the whole pipeline and whatever it left running.
    process.setChildProcessModifier([] { ::setpgid(0, 0); });

    QElapsedTimer clock;
    clock.start();
    ++m_stats.processes;
    process.start(program, arguments);
    if (!process.waitForStarted()) {
        qCWarning(lcDevice).noquote() << program << "did not start:" << process.errorString();
        m_stats.toolNanoseconds += clock.nsecsElapsed();
        return std::nullopt;
    }
    const qint64 group = process.processId();
    m_group = group;
    addGroup(pid_t(group));
    if (m_stopped) // stopped between the check above and the start
        killGroup(group);

    const QDeadlineTimer deadline(std::min<qint64>(m_options.timeout.count(), m_budget.remainingTime()));
    QByteArray bytes;
    bool overflow = false;
    while (process.state() != QProcess::NotRunning && !overflow) {
        const bool more = process.waitForReadyRead(remainingMs(deadline));
        bytes += process.readAllStandardOutput();
        overflow = bytes.size() > m_options.maxOutputBytes;
        // No more output: the tool ended, closed its output, or ran out of time.
        if (!more && !overflow) {
            process.waitForFinished(remainingMs(deadline));
            break;
        }
    }
    const bool timedOut = process.state() != QProcess::NotRunning && !overflow;
    // Whatever the tool left behind goes with it: a child still holding the output, or the tool itself.
    killGroup(group);
    process.waitForFinished(5000);
    bytes += process.readAllStandardOutput();
    removeGroup(pid_t(group));
    m_group = 0;
    m_stats.toolNanoseconds += clock.nsecsElapsed();

    if (timedOut) {
        m_hung.insert(tool);
        qCWarning(lcDevice).noquote() << program << arguments.join(u' ') << "stopped after" << clock.elapsed() << "ms";
        return std::nullopt;
    }
    if (overflow || bytes.size() > m_options.maxOutputBytes) {
        qCWarning(lcDevice).noquote() << program << arguments.join(u' ') << "printed more than"
                                      << m_options.maxOutputBytes << "bytes";
        return std::nullopt;
    }
    if (m_stopped)
        return std::nullopt;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError()) {
        qCDebug(lcDevice).noquote() << program << "wrote output that is not UTF-8";
        return std::nullopt;
    }
    return text;
}
