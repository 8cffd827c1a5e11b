#pragma once
// Keeps the program to one running instance per user. A later launch hands its links to the running one
// over a local socket and exits; the running one raises its window and applies them.

#include <QObject>
#include <QStringList>

class QLocalServer;

class InstanceRelay : public QObject
{
    Q_OBJECT

public:
    // `name` is the local socket: a full path, or a name placed in the platform's socket folder.
    explicit InstanceRelay(QString name, QObject *parent = nullptr);
    ~InstanceRelay() override;

    // The socket name for this user: in the runtime folder when the platform has one.
    [[nodiscard]] static QString defaultName();

    // Hands `links` (may be empty: "come forward") to a running instance. True when one took them,
    // in which case this process should exit. Blocks for at most `timeoutMs`.
    [[nodiscard]] bool handOver(const QStringList &links, int timeoutMs = 3000) const;

    enum class Listening { yes, anotherRuns, failed };
    // Becomes the running instance. A socket left behind by an instance that is gone is replaced;
    // `anotherRuns` when an instance answers there (one too busy to take a hand-over in time).
    Listening listen();

Q_SIGNALS:
    // A later launch asked this instance to come forward and apply `links`.
    void activated(const QStringList &links);

private:
    void accept();

    QString m_name;
    QLocalServer *m_server = nullptr;
};
