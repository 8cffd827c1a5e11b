#pragma once
// One of the program's command-line tools run to its end. The wait runs the event loop, so a service the test
// itself serves can answer the tool.
#include <QProcess>
#include <QSignalSpy>

struct CommandRun
{
    int exitCode = -1; // also when it did not end within a minute
    QByteArray out;
    QString err;
    [[nodiscard]] QString text() const { return QString::fromUtf8(out); }
};

inline CommandRun runCommand(const QString &program, const QStringList &arguments, const QProcessEnvironment &env)
{
    QProcess process;
    process.setProcessEnvironment(env);
    QSignalSpy finished(&process, &QProcess::finished);
    process.start(program, arguments);
    if (!finished.wait(60000))
        return {};
    return {process.exitCode(), process.readAllStandardOutput(), QString::fromUtf8(process.readAllStandardError())};
}
