#pragma once
// Runs vexlo-store-server as a child process on a loopback port with a given data folder.
#include <QProcess>
#include <QString>

class ServerProcess
{
public:
    ~ServerProcess() { stop(); }

    // port 0 lets the server pick; returns false (with the server's output in error) when it does not come up.
    bool start(const QString &dataDir, quint16 port, QString *error, const QStringList &extraArguments = {});
    void stop();

    [[nodiscard]] quint16 port() const { return m_port; }
    [[nodiscard]] qint64 processId() const { return m_process.processId(); }
    [[nodiscard]] QString base() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_port); }

private:
    QProcess m_process;
    quint16 m_port = 0;
    bool m_stopping = false;
};
