// vexlo-apps as a user runs it: the listing of a prepared tree, and the outdated apps against the reference
// store service, as JSON with exactly the documented keys; errors and exit codes.

#include "TestTree.h"

#include "ServerProcess.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace TestTree;

namespace {

struct Run
{
    int exitCode = -1;
    QByteArray out;
    QString err;
};

// Named by its display name, with an identifier and a 1500-byte program.
void makeAppBundle(const QString &root, const QString &file, const QString &name, const QString &version)
{
    writeFile(root + u'/' + file + u"/Contents/Info.plist"_s,
              "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>CFBundleDisplayName</key><string>" +
                  name.toUtf8() + "</string><key>CFBundleShortVersionString</key><string>" + version.toUtf8() +
                  "</string><key>CFBundleIdentifier</key><string>com.example." + file.toUtf8().toLower() +
                  "</string></dict></plist>");
    writeFile(root + u'/' + file + u"/Contents/MacOS/bin"_s, QByteArray(1500, 'x'));
}

QStringList keys(const QJsonValue &value)
{
    QStringList k = value.toObject().keys();
    k.sort();
    return k;
}

} // namespace

class TestVexloApps : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    Run run(const QStringList &args, const QString &baseUrl = {})
    {
        const QString config = m_dir.filePath(u"config"_s);
        QDir(config).removeRecursively();
        if (!baseUrl.isEmpty())
            writeFile(config + u"/Vexlo/VexloToolbox.ini"_s, "[General]\nbaseURL=" + baseUrl.toUtf8() + "\n");
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"XDG_CONFIG_HOME"_s, config);
        env.insert(u"XDG_DATA_HOME"_s, m_dir.filePath(u"data"_s));
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(VEXLO_APPS_BIN), args);
        if (!process.waitForFinished(60000))
            return {};
        return {process.exitCode(), process.readAllStandardOutput(), QString::fromUtf8(process.readAllStandardError())};
    }

    QString tree()
    {
        const QString root = m_dir.filePath(u"Applications"_s);
        if (!QFileInfo::exists(root)) {
            makeAppBundle(root, u"Lumen.app"_s, u"流光启动器"_s, u"3.1.0"_s);
            makeAppBundle(root, u"Keys.app"_s, u"钥匙库"_s, u"7.4.0"_s);
            makeAppBundle(root, u"zed.app"_s, u"zed"_s, u"1.0"_s);
            makeAppBundle(root, u"Abc.app"_s, u"Abc"_s, u"0.1"_s);
        }
        return root;
    }

private Q_SLOTS:
    void listJson()
    {
        const QString root = tree();
        const QString other = m_dir.filePath(u"More"_s);
        makeAppBundle(other, u"Mid.app"_s, u"mid"_s, u"2"_s);
        const Run result = run({u"list"_s, u"--json"_s, u"--root"_s, root, u"--root"_s, other});
        QCOMPARE(result.exitCode, 0);
        const QJsonArray rows = QJsonDocument::fromJson(result.out).array();
        QCOMPARE(rows.size(), 5);
        QStringList names;
        for (const QJsonValue &row : rows) {
            QCOMPARE(keys(row),
                     (QStringList{u"bundleId"_s, u"name"_s, u"path"_s, u"sizeBytes"_s, u"sizeText"_s, u"version"_s}));
            names << row[u"name"_s].toString();
        }
        QCOMPARE(names.mid(0, 3), (QStringList{u"Abc"_s, u"mid"_s, u"zed"_s}));
        const QJsonObject abc = rows[0].toObject();
        QCOMPARE(abc[u"path"_s].toString(), root + u"/Abc.app"_s);
        QCOMPARE(abc[u"bundleId"_s].toString(), u"com.example.abc.app"_s);
        QCOMPARE(abc[u"version"_s].toString(), u"0.1"_s);
        QVERIFY(abc[u"sizeBytes"_s].isDouble() && abc[u"sizeBytes"_s].toInteger() > 1500);
        QVERIFY(abc[u"sizeText"_s].toString().endsWith(u" KB"_s));
    }

    void outdatedAgainstService()
    {
        QTemporaryDir data;
        ServerProcess server;
        QString error;
        QVERIFY2(server.start(data.path(), 0, &error), qPrintable(error));

        const Run json = run({u"outdated"_s, u"--json"_s, u"--root"_s, tree()}, server.base());
        QCOMPARE(json.exitCode, 0);
        const QJsonArray rows = QJsonDocument::fromJson(json.out).array();
        QCOMPARE(rows.size(), 1);
        QCOMPARE(keys(rows[0]),
                 (QStringList{u"bundleId"_s, u"name"_s, u"path"_s, u"sizeBytes"_s, u"sizeText"_s, u"storeSlug"_s,
                              u"storeVersion"_s, u"version"_s}));
        QCOMPARE(rows[0][u"name"_s].toString(), u"流光启动器"_s);
        QCOMPARE(rows[0][u"storeVersion"_s].toString(), u"3.2.1"_s);
        QCOMPARE(rows[0][u"storeSlug"_s].toString(), u"lumen-launch"_s);

        const Run text = run({u"outdated"_s, u"--root"_s, tree()}, server.base());
        QCOMPARE(text.exitCode, 0);
        QVERIFY(QString::fromUtf8(text.out).contains(u"3.1.0"_s));
        QVERIFY(QString::fromUtf8(text.out).contains(u"1 个应用有新版"_s));
    }

    void failures_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("deadService");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::newRow("service unreachable") << QStringList{u"outdated"_s} << true << 3 << u"无法读取商店目录"_s;
        QTest::newRow("no command") << QStringList{} << false << 2 << u"缺少命令"_s;
        QTest::newRow("unknown command") << QStringList{u"remove"_s} << false << 2 << u"未知命令"_s;
        QTest::newRow("missing root") << QStringList{u"list"_s, u"--root"_s, u"/nonexistent-vexlo"_s} << false << 2
                                      << u"文件夹不存在"_s;
    }
    void failures()
    {
        QFETCH(QStringList, args);
        QFETCH(bool, deadService);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        const QString dead = u"http://127.0.0.1:1"_s;
        const Run result = run(args + QStringList{u"--root"_s, tree()}, deadService ? dead : QString());
        QCOMPARE(result.exitCode, exitCode);
        QVERIFY2(result.err.contains(message), qPrintable(result.err));
        QVERIFY(result.out.isEmpty());
    }

    void helpDocumentsJsonKeys()
    {
        const Run result = run({u"--help"_s});
        QCOMPARE(result.exitCode, 0);
        for (const char *key : {"name", "version", "bundleId", "path", "sizeBytes", "sizeText", "storeVersion",
                                "storeSlug", "--root", "outdated"})
            QVERIFY2(result.out.contains(key), key);
    }
};

QTEST_GUILESS_MAIN(TestVexloApps)
#include "tst_vexlo_apps.moc"
