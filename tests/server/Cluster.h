#pragma once
// The cluster scripts/cluster started around the running test, read from its environment: the balancer's address,
// the shared database, the instances' own addresses and their process ids.
#include <QList>
#include <QSqlDatabase>
#include <QStringList>
#include <QUrl>
#include <optional>

struct Cluster
{
    QString url;
    QUrl database;
    QStringList instances;
    QList<qint64> pids;

    // Nothing when the test runs without a cluster.
    static std::optional<Cluster> fromEnvironment()
    {
        Cluster cluster;
        cluster.url = qEnvironmentVariable("VEXLO_CLUSTER_URL");
        if (cluster.url.isEmpty())
            return std::nullopt;
        cluster.database = QUrl(qEnvironmentVariable("VEXLO_CLUSTER_DATABASE"));
        cluster.instances = qEnvironmentVariable("VEXLO_CLUSTER_INSTANCES").split(u' ', Qt::SkipEmptyParts);
        for (const QString &pid : qEnvironmentVariable("VEXLO_CLUSTER_PIDS").split(u' ', Qt::SkipEmptyParts))
            cluster.pids << pid.toLongLong();
        return cluster;
    }

    // The test's own connection to the cluster's database; check isOpen().
    [[nodiscard]] QSqlDatabase openDatabase(const QString &connectionName) const
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connectionName);
        db.setHostName(database.host());
        db.setPort(database.port(5432));
        db.setUserName(database.userName());
        db.setDatabaseName(database.path().mid(1));
        db.open();
        return db;
    }
};
