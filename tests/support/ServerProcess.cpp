#include "ServerProcess.h"

#include <QDeadlineTimer>
#include <QRegularExpression>

bool ServerProcess::start(const QString &dataDir, quint16 port, QString *error, const QStringList &extraArguments)
{
    stop();
    m_stopping = false;
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.start(
        QStringLiteral(STORE_SERVER_EXE),
        QStringList{QStringLiteral("--port"), QString::number(port), QStringLiteral("--data-dir"), dataDir} +
            extraArguments);
    static const QRegularExpression ready(QStringLiteral("listening on http://127\\.0\\.0\\.1:(\\d+)"));
    QByteArray output;
    QDeadlineTimer deadline(20000);
    while (!deadline.hasExpired() && m_process.state() != QProcess::NotRunning) {
        m_process.waitForReadyRead(200);
        output += m_process.readAll();
        const auto match = ready.match(QString::fromUtf8(output));
        if (match.hasMatch()) {
            m_port = quint16(match.captured(1).toUInt());
            // Anything the server says later (warnings, a crash) goes to the test log.
            QObject::connect(&m_process, &QProcess::readyRead, &m_process,
                             [this] { qWarning("server: %s", m_process.readAll().trimmed().constData()); });
            QObject::connect(&m_process, &QProcess::finished, &m_process,
                             [this](int code, QProcess::ExitStatus status) {
                                 if (!m_stopping)
                                     qWarning("server exited unexpectedly: code %d, %s", code,
                                              status == QProcess::CrashExit ? "crashed" : "normal exit");
                             });
            return true;
        }
    }
    *error = QStringLiteral("server did not start: ") + QString::fromUtf8(output + m_process.readAll());
    stop();
    return false;
}

void ServerProcess::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_stopping = true;
    m_process.disconnect();
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(2000);
    }
}
