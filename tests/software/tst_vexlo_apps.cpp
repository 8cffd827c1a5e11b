// vexlo-apps as a user runs it: the listing of a prepared tree, the outdated apps from the reference store
// service (home lists and search) and a developer's feed, and the sample Library's leftovers, as JSON with
// exactly the documented keys; errors and exit codes.

#include "TestTree.h"

#include "CommandRun.h"
#include "ScriptedServer.h"
#include "ServerProcess.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace TestTree;

namespace {

// With an identifier and a 1500-byte program.
void makeAppBundle(const QString &root, const QString &file, const QString &name, const QString &version,
                   const QByteArray &extraKeys = {})
{
    makeBundle(root, file, name, version,
               stringKey("CFBundleIdentifier", u"com.example."_s + file.toLower()) + extraKeys);
    writeFile(root + u'/' + file + u"/Contents/MacOS/bin"_s, QByteArray(1500, 'x'));
}

// An object's keys in sorted order, space-separated.
QString keys(const QJsonValue &value)
{
    return value.toObject().keys().join(u' ');
}

// The values of `names` in `object`, as text, space-separated.
QString values(const QJsonObject &object, std::initializer_list<const char *> names)
{
    QStringList out;
    for (const char *name : names)
        out << object.value(QLatin1String(name)).toVariant().toString();
    return out.join(u' ');
}

} // namespace

class TestVexloApps : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    CommandRun run(const QStringList &args, const QString &baseUrl = {})
    {
        const QString config = m_dir.filePath(u"config"_s);
        QDir(config).removeRecursively();
        if (!baseUrl.isEmpty())
            writeFile(config + u"/Vexlo/VexloToolbox.ini"_s, "[General]\nbaseURL=" + baseUrl.toUtf8() + "\n");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"XDG_CONFIG_HOME"_s, config);
        env.insert(u"XDG_DATA_HOME"_s, m_dir.filePath(u"data"_s));
        env.insert(u"LC_ALL"_s, u"C"_s); // no collation of its own: names sort in Chinese order
        return runCommand(QStringLiteral(VEXLO_APPS_BIN), args, env);
    }

    QString tree()
    {
        const QString root = m_dir.filePath(u"Applications"_s);
        if (!QFileInfo::exists(root)) {
            makeAppBundle(root, u"Lumen.app"_s, u"流光启动器"_s, u"3.1.0"_s);
            makeAppBundle(root, u"Keys.app"_s, u"钥匙库"_s, u"7.4.0"_s);
            makeAppBundle(root, u"zed.app"_s, u"zed"_s, u"1.0"_s);
            makeAppBundle(root, u"Abc.app"_s, u"Abc"_s, u"0.1"_s);
            makeAppBundle(root, u"Tape.app"_s, u"磁带工坊"_s, u"2.4.0"_s); // in the store, on no home list
            makeAppBundle(root, u"Indie.app"_s, u"Indie"_s, u"1.0"_s,
                          stringKey("SUFeedURL", m_feed.base() + u"/appcast.xml"_s));
        }
        return root;
    }

    ScriptedServer m_feed;

private Q_SLOTS:
    void listJson()
    {
        const QString root = tree();
        const QString other = m_dir.filePath(u"More"_s);
        makeAppBundle(other, u"Mid.app"_s, u"mid"_s, u"2"_s);
        const CommandRun result = run({u"list"_s, u"--json"_s, u"--root"_s, root, u"--root"_s, other});
        QCOMPARE(result.exitCode, 0);
        const QJsonArray rows = QJsonDocument::fromJson(result.out).array();
        QCOMPARE(rows.size(), 7);
        QStringList names;
        for (const QJsonValue &row : rows) {
            QCOMPARE(keys(row), u"bundleId name path sizeBytes sizeText version"_s);
            names << row[u"name"_s].toString();
        }
        QCOMPARE(names,
                 (QStringList{u"磁带工坊"_s, u"流光启动器"_s, u"钥匙库"_s, u"Abc"_s, u"Indie"_s, u"mid"_s, u"zed"_s}));
        const QJsonObject abc = rows[3].toObject();
        QCOMPARE(values(abc, {"path", "bundleId", "version"}), root + u"/Abc.app com.example.abc.app 0.1"_s);
        QVERIFY(abc[u"sizeBytes"_s].isDouble() && abc[u"sizeBytes"_s].toInteger() > 1500);
        QVERIFY(abc[u"sizeText"_s].toString().endsWith(u" KB"_s));
    }

    void outdatedAgainstService()
    {
        QTemporaryDir data;
        ServerProcess server;
        QString error;
        QVERIFY2(server.start(data.path(), 0, &error), qPrintable(error));

        m_feed.script(
            "GET", "/appcast.xml",
            ScriptedReply{200,
                          "<rss xmlns:sparkle=\"https://dev.test/ns\"><channel><link>https://dev.test/indie</link>"
                          "<item><enclosure url=\"https://dev.test/Indie.zip\" sparkle:shortVersionString=\"1.2\" "
                          "sparkle:version=\"12\"/></item></channel></rss>"});
        const CommandRun json = run({u"outdated"_s, u"--json"_s, u"--root"_s, tree()}, server.base());
        QCOMPARE(json.exitCode, 0);
        QVERIFY2(json.err.isEmpty(), qPrintable(json.err));
        QHash<QString, QJsonObject> rows;
        for (const QJsonValue &row : QJsonDocument::fromJson(json.out).array())
            rows.insert(row[u"name"_s].toString(), row.toObject());
        QCOMPARE(rows.size(), 3);
        const QJsonObject lumen = rows.value(u"流光启动器"_s);
        QCOMPARE(keys(lumen),
                 u"bundleId compatible name path requires sizeBytes sizeText source storeSlug storeVersion version"_s);
        QCOMPARE(values(lumen, {"source", "storeVersion", "storeSlug", "compatible"}),
                 u"store-home 3.2.1 lumen-launch true"_s);
        const QJsonObject tape = rows.value(u"磁带工坊"_s);
        QCOMPARE(values(tape, {"source", "storeVersion", "storeSlug"}), u"store-search 3.0.2 tape-deck"_s);
        const QJsonObject indie = rows.value(u"Indie"_s);
        QCOMPARE(keys(indie), u"bundleId developerVersion name page path sizeBytes sizeText source version"_s);
        QCOMPARE(values(indie, {"source", "developerVersion", "page"}), u"developer 1.2 https://dev.test/indie"_s);
#ifndef Q_OS_MACOS
        // The sample Mac (macOS 13.6 on Apple silicon) runs the Intel build under Rosetta.
        QCOMPARE(values(tape, {"compatible", "requires"}), u"true 需 Rosetta"_s);
#endif

        const CommandRun text = run({u"outdated"_s, u"--root"_s, tree()}, server.base());
        QCOMPARE(text.exitCode, 0);
        QVERIFY(text.text().contains(u"商店搜索"_s));
        QVERIFY(text.text().contains(u"3 个应用有新版"_s));
    }

    // Over the sample Library: exactly the items named by the identifier are checked; the one sharing only the
    // name is listed as related; the look-alikes and the link out of the Library are not listed.
    void leftovers()
    {
        const QString samples = QStringLiteral(VEXLO_SAMPLES);
        const QString library = samples + u"/Library"_s;
        const CommandRun json =
            run({u"leftovers"_s, samples + u"/Shell Harbor.app"_s, u"--json"_s, u"--library"_s, library});
        QCOMPARE(json.exitCode, 0);
        QStringList byId, byName;
        for (const QJsonValue &item : QJsonDocument::fromJson(json.out).array()) {
            QCOMPARE(keys(item), u"match path sizeBytes"_s);
            QVERIFY(item[u"sizeBytes"_s].toInteger() > 0);
            const QString place = item[u"path"_s].toString().mid(library.size() + 1);
            (item[u"match"_s].toString() == u"bundle-id" ? byId : byName) << place;
        }
        QCOMPARE(byId.size(), 6); // the rule's cases are software_uninstall's
        QCOMPARE(byName, QStringList{u"Logs/港湾终端"_s});
        const CommandRun text = run({u"leftovers"_s, samples + u"/Shell Harbor.app"_s, u"--library"_s, library});
        QVERIFY(text.text().contains(u"6 项按标识匹配"_s));
    }

    void failures_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::newRow("service unreachable") << QStringList{u"outdated"_s} << 3 << u"无法读取商店目录"_s;
        QTest::newRow("no command") << QStringList{} << 2 << u"缺少命令"_s;
        QTest::newRow("unknown command") << QStringList{u"remove"_s} << 2 << u"未知命令"_s;
        QTest::newRow("missing root") << QStringList{u"list"_s, u"--root"_s, u"/nonexistent-vexlo"_s} << 2
                                      << u"文件夹不存在"_s;
        QTest::newRow("leftovers without app") << QStringList{u"leftovers"_s} << 2 << u"需要一个应用路径"_s;
        QTest::newRow("leftovers, missing library")
            << QStringList{u"leftovers"_s, u"/"_s, u"--library"_s, u"/nonexistent-vexlo"_s} << 2
            << u"资源库文件夹不存在"_s;
    }
    void failures()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        const CommandRun result = run(args + QStringList{u"--root"_s, tree()}, u"http://127.0.0.1:1"_s);
        QCOMPARE(result.exitCode, exitCode);
        QVERIFY2(result.err.contains(message), qPrintable(result.err));
        QVERIFY(result.out.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestVexloApps)
#include "tst_vexlo_apps.moc"
