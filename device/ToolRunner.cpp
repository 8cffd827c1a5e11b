#include "device/ToolRunner.h"
#include "device/Logging.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStringDecoder>

#include <csignal>
#include <sys/types.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

ToolRunner::ToolRunner(ToolOptions options)
    : m_options(std::move(options))
{ }

QString ToolRunner::resolveProgram(const QString &program) const
{
    if (m_options.toolRoot.isEmpty() || !program.startsWith(u'/'))
        return program;
    const QFileInfo candidate(m_options.toolRoot + program);
    return candidate.isFile() && candidate.isExecutable() ? candidate.filePath() : program;
}

QString ToolRunner::resolveCommandLine(const QString &commandLine) const
{
    if (!commandLine.startsWith(u'/'))
        return commandLine;
    const qsizetype end = commandLine.indexOf(u' ');
    const QString program = end < 0 ? commandLine : commandLine.left(end);
    const QString resolved = resolveProgram(program);
    return resolved == program ? commandLine : resolved + commandLine.mid(program.size());
}

QString ToolRunner::shell(const QString &commandLine)
{
    return execute(u"/bin/sh"_s, {u"-c"_s, resolveCommandLine(commandLine)}).value_or(QString());
}

std::optional<QString> ToolRunner::run(const QString &program, const QStringList &arguments)
{
    return execute(resolveProgram(program), arguments);
}

std::optional<QString> ToolRunner::execute(const QString &program, const QStringList &arguments)
{
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
    // Its own process group, so a time-out can stop the whole pipeline and not only the shell.
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
    const auto limit = static_cast<int>(m_options.timeout.count());
    if (!process.waitForFinished(limit)) {
        qCWarning(lcDevice).noquote() << program << arguments.join(u' ') << "stopped after" << limit << "ms";
        const qint64 pid = process.processId();
        if (pid > 0)
            ::kill(-static_cast<pid_t>(pid), SIGKILL);
        process.kill();
        process.waitForFinished(5000);
    }
    const QByteArray bytes = process.readAllStandardOutput();
    m_stats.toolNanoseconds += clock.nsecsElapsed();

    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError()) {
        qCDebug(lcDevice).noquote() << program << "wrote output that is not UTF-8";
        return std::nullopt;
    }
    return text;
}
