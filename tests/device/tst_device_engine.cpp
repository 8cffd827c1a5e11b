// The tool runner, the memory and file caches, and the worker-thread front end, over small shell scripts
// placed in a temporary tool root.

#include "device/Diagnostics.h"
#include "device/DiagnosticsEngine.h"

#include <QtTest>

#include "Fixtures.h"

using namespace Qt::StringLiterals;

namespace {

void writeFile(const QString &path, const QByteArray &bytes, bool executable = false)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    if (executable)
        file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
}

void writeTool(const QString &root, const QString &relativePath, const QByteArray &script)
{
    writeFile(root + u'/' + relativePath, "#!/bin/sh\n" + script, true);
}

const QString kHardware = u"system_profiler SPHardwareDataType"_s;

} // namespace

class TestDeviceEngine : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_root;
    QString m_log;
    QString m_cache;

    ToolOptions tools(std::chrono::milliseconds timeout = std::chrono::milliseconds(60000)) const
    {
        return {.toolRoot = m_root, .environment = {{u"TOOL_LOG"_s, m_log}}, .timeout = timeout};
    }
    int runs(const QString &line) const { return readText(m_log).split(u'\n').count(line); }
    QString cacheFile(const QString &line) const { return m_cache + u'/' + DiagnosticsEngine::cacheFileName(line); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_root = m_dir.filePath(u"tools"_s);
        m_log = m_dir.filePath(u"log"_s);
        m_cache = m_dir.filePath(u"cache"_s);
        // system_profiler prints a report with empty lines and a trailing line feed, except for an empty type.
        writeTool(
            m_root, u"system_profiler"_s,
            "echo \"system_profiler $*\" >> \"$TOOL_LOG\"\n"
            "case \"$1\" in SPEmptyDataType) exit 0 ;; esac\n"
            "printf 'Hardware:\\n\\n    Hardware Overview:\\n\\n      Model Name: MacBook Air\\n      Type: %s\\n\\n' \"$1\"\n");
        writeTool(m_root, u"diskutil"_s, "echo \"diskutil $*\" >> \"$TOOL_LOG\"\necho 'SMART Status: Verified'\n");
        writeTool(m_root, u"slowtool"_s, "echo partial\nsleep 30\necho never\n");
        writeTool(m_root, u"badbytes"_s, "printf 'ok \\377\\376 bytes\\n'\n");
        writeTool(m_root, u"noisy"_s, "echo to-stderr >&2\necho to-stdout\nexit 3\n");
        writeTool(m_root, u"usr/bin/sw_vers"_s, "[ \"$1\" = -productVersion ] && printf '14.4.1\\n'\n");
    }

    void init()
    {
        QFile::remove(m_log);
        QDir(m_cache).removeRecursively();
    }

    void runnerOutputRulesAndToolRoot()
    {
        ToolRunner runner(tools());
        QCOMPARE(runner.shell(u"noisy"_s), u"to-stdout\n"_s); // stderr dropped, exit status ignored
        QCOMPARE(runner.shell(u"badbytes"_s), QString()); // not UTF-8
        QCOMPARE(runner.shell(u"echo a b | tr a-z A-Z"_s), u"A B\n"_s); // a shell command line with a pipe
        QCOMPARE(runner.shell(u"no-such-tool-anywhere"_s), QString());
        QCOMPARE(runner.run(u"/no/such/program"_s, {}), std::nullopt);
        QCOMPARE(runner.stats().processes, 5);
        QCOMPARE(runner.resolveCommandLine(u"/usr/bin/sw_vers -productVersion"_s),
                 m_root + u"/usr/bin/sw_vers -productVersion"_s);
        QCOMPARE(runner.resolveCommandLine(u"/usr/libexec/ApplicationFirewall/socketfilterfw --getglobalstate"_s),
                 u"/usr/libexec/ApplicationFirewall/socketfilterfw --getglobalstate"_s); // not in the root
        QCOMPARE(runner.run(u"/usr/bin/sw_vers"_s, {u"-productVersion"_s}), u"14.4.1\n"_s);
        QCOMPARE(runner.shell(u"diskutil info disk0"_s), u"SMART Status: Verified\n"_s); // found first on PATH
        QCOMPARE(DiagnosticsEngine(tools(), m_cache).osVersion(), u"macOS 14.4.1"_s);
    }

    // On macOS, without stand-ins, the known tools of every pipeline step run from the system's own folders
    // whatever PATH holds; with a tool root the stand-ins win, as everywhere.
    void runnerMacToolPaths_data()
    {
        QTest::addColumn<QString>("commandLine");
        QTest::addColumn<QString>("system");
        QTest::newRow("alone") << u"ioreg"_s << u"/usr/sbin/ioreg"_s;
        QTest::newRow("pipeline") << u"df -k / | tail -1"_s << u"/bin/df -k / | tail -1"_s;
        QTest::newRow("later step") << u"echo x |  diskutil list"_s << u"echo x |  /usr/sbin/diskutil list"_s;
        QTest::newRow("name as argument") << u"echo df csrutil"_s << u"echo df csrutil"_s;
        QTest::newRow("longer name") << u"dfx -k"_s << u"dfx -k"_s;
        QTest::newRow("already absolute")
            << u"/usr/bin/sw_vers -productVersion"_s << u"/usr/bin/sw_vers -productVersion"_s;
    }
    void runnerMacToolPaths()
    {
        QFETCH(QString, commandLine);
        QFETCH(QString, system);
        QCOMPARE(ToolRunner({.macToolPaths = true}).resolveCommandLine(commandLine), system);
        ToolOptions standIns = tools();
        standIns.macToolPaths = true;
        if (!commandLine.startsWith(u'/'))
            QCOMPARE(ToolRunner(standIns).resolveCommandLine(commandLine), commandLine);
    }

    // A hung tool must not hang the check: it is killed with the whole pipeline, its answer counts as unreadable
    // (a partial one would pass for a real one), and it is not started again. The budget caps all the tools.
    void runnerTimeLimitAndBudget()
    {
        ToolOptions options = tools(std::chrono::milliseconds(1000));
        ToolRunner runner(options);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(runner.read(u"slowtool | cat"_s), std::nullopt);
        QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
        clock.restart();
        QCOMPARE(runner.read(u"slowtool again"_s), std::nullopt); // the same tool: not started
        QCOMPARE(runner.shell(u"noisy"_s), u"to-stdout\n"_s); // others still run
        QCOMPARE(runner.stats().processes, 2);

        // A tool is cut by the end of the budget, well before its own limit; then nothing runs any more.
        options.timeout = std::chrono::milliseconds(20000);
        options.budget = std::chrono::milliseconds(1500);
        ToolRunner spent(options);
        clock.restart();
        QCOMPARE(spent.read(u"sleep 10"_s), std::nullopt);
        QVERIFY2(clock.elapsed() < 6000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(spent.read(u"noisy"_s), std::nullopt);
        QCOMPARE(spent.stats().processes, 1);
    }

    void memoryCache()
    {
        DiagnosticsEngine engine(tools(), m_cache);
        for (int i = 0; i < 2; ++i) {
            QCOMPARE(engine.cached(u"diskutil list"_s), u"SMART Status: Verified\n"_s);
            QCOMPARE(engine.cached(u"system_profiler SPEmptyDataType"_s), QString());
        }
        QCOMPARE(runs(u"diskutil list"_s), 1);
        QCOMPARE(runs(u"system_profiler SPEmptyDataType"_s), 1); // an empty output is cached too
        QCOMPARE(engine.shell(u"diskutil list"_s), u"SMART Status: Verified\n"_s);
        QCOMPARE(runs(u"diskutil list"_s), 2);
        // No file is ever written for an ordinary command.
        QVERIFY(!QFileInfo::exists(m_cache));
    }

    void fileNames()
    {
        // "/" becomes "_" and padding goes away: only letters, digits, "+" and "_" remain between prefix and suffix.
        QCOMPARE(DiagnosticsEngine::cacheFileName(u"system_profiler SPDisplaysDataType -detailLevel mini >>"_s),
                 u"hw_c3lzdGVtX3Byb2ZpbGVyIFNQRGlzcGxheXNEYXRhVHlwZSAtZGV0YWlsTGV2ZWwgbWluaSA+Pg.txt"_s);
        QCOMPARE(DiagnosticsEngine::cacheFileName(u"system_profiler SPHardwareDataType ?"_s),
                 u"hw_c3lzdGVtX3Byb2ZpbGVyIFNQSGFyZHdhcmVEYXRhVHlwZSA_.txt"_s);
        DiagnosticsEngine engine(tools(), m_cache);
        QVERIFY(!engine.persistentCacheURL(u"System_profiler SPHardwareDataType"_s).has_value()); // case-sensitive
    }

    void fileCacheRoundTrip()
    {
        const QString expected =
            u"Hardware:\n\n    Hardware Overview:\n\n      Model Name: MacBook Air\n      Type: SPHardwareDataType\n\n"_s;
        {
            DiagnosticsEngine engine(tools(), m_cache);
            QCOMPARE(engine.cachedStatic(kHardware), expected);
            QCOMPARE(engine.cachedStatic(kHardware), expected);
        }
        QCOMPARE(runs(kHardware), 1);
        const QString stored = readText(cacheFile(kHardware));
        const qint64 stamp = stored.section(u'\n', 0, 0).toLongLong();
        QVERIFY(qAbs(QDateTime::currentSecsSinceEpoch() - stamp) < 60);
        QCOMPARE(stored.section(u'\n', 1), expected); // byte for byte, empty lines and trailing line feed kept

        DiagnosticsEngine next(tools(), m_cache);
        QCOMPARE(next.cachedStatic(kHardware), expected);
        QCOMPARE(runs(kHardware), 1);

        next.clearPersistentCache();
        QVERIFY(!QFileInfo::exists(m_cache));
        QCOMPARE(next.cachedStatic(kHardware), expected); // the memory cache is untouched
        QCOMPARE(runs(kHardware), 1);
    }

    void fileCacheValidity_data()
    {
        QTest::addColumn<QByteArray>("firstLine");
        QTest::addColumn<bool>("used");
        const qint64 now = QDateTime::currentSecsSinceEpoch();
        QTest::newRow("fresh") << QByteArray::number(now - 604700) << true;
        QTest::newRow("exactly 7 days") << QByteArray::number(now - 604800) << false;
        QTest::newRow("future stamp") << QByteArray::number(now + 86400) << true;
        QTest::newRow("fraction and spaces") << " \t" + QByteArray::number(now - 10) + ".75 " << true;
        QTest::newRow("not a number") << QByteArray("yesterday") << false;
    }
    void fileCacheValidity()
    {
        QFETCH(QByteArray, firstLine);
        QFETCH(bool, used);
        writeFile(cacheFile(kHardware), firstLine + "\nModel Name: Stored\n");
        QCOMPARE(DiagnosticsEngine(tools(), m_cache).cachedStatic(kHardware).startsWith(u"Model Name: Stored"_s), used);
        QCOMPARE(runs(kHardware), used ? 0 : 1);
        if (!used) // replaced by a fresh entry
            QVERIFY(readText(cacheFile(kHardware)).contains(u"Type: SPHardwareDataType"_s));
    }

    void fileCacheTwoPrefixes()
    {
        DiagnosticsEngine engine(tools(), m_cache);
        QCOMPARE(engine.cachedStatic(u"system_profiler SPEmptyDataType"_s), QString());
        QCOMPARE(engine.cachedStatic(u"system_profiler SPNVMeDataType"_s).isEmpty(), false);
        QVERIFY(!QFileInfo::exists(m_cache));

        // An empty output of a listed command is stored and served like any other.
        const QString displays = u"system_profiler SPDisplaysDataType"_s;
        writeTool(m_dir.filePath(u"empty"_s), u"system_profiler"_s, "echo \"system_profiler $*\" >> \"$TOOL_LOG\"\n");
        ToolOptions emptyTools = tools();
        emptyTools.toolRoot = m_dir.filePath(u"empty"_s);
        QCOMPARE(DiagnosticsEngine(emptyTools, m_cache).cachedStatic(displays), QString());
        const QString stored = readText(cacheFile(displays));
        QVERIFY(stored.endsWith(u'\n'));
        QCOMPARE(stored.count(u'\n'), 1);
        QCOMPARE(DiagnosticsEngine(emptyTools, m_cache).cachedStatic(displays), QString());
        QCOMPARE(runs(displays), 1);

        // No readable answer is no output: it is not kept for a week, the next check asks again.
        writeTool(m_dir.filePath(u"garbled"_s), u"system_profiler"_s, "printf 'Model Name: \\377\\n'\n");
        emptyTools.toolRoot = m_dir.filePath(u"garbled"_s);
        QCOMPARE(DiagnosticsEngine(emptyTools, m_cache).cachedStatic(kHardware), QString());
        QVERIFY(!QFileInfo::exists(cacheFile(kHardware)));
    }

    void identityLiveAndCached()
    {
        // The stored report says the lock is on; the live one says nothing about it.
        writeFile(cacheFile(kHardware),
                  QByteArray::number(QDateTime::currentSecsSinceEpoch()) +
                      "\n      Model Name: Stored Mac\n      Activation Lock Status: Enabled\n"
                      "      System Firmware Version: 1.0\n");
        const DeviceIdentity id = DiagnosticsEngine(tools(), m_cache).identity();
        QCOMPARE((QStringList{id.modelName, id.activationLock, id.firmware}),
                 (QStringList{u"Stored Mac"_s, u"Enabled"_s, u"1.0"_s}));
        QCOMPARE(runs(kHardware), 1); // the live run, every time
    }

    // The front end runs tools on its worker; the calling thread keeps handling events meanwhile. Its cached reads
    // go through the engine's memory cache.
    void workerDoesNotBlockCaller()
    {
        Diagnostics diagnostics({.tools = tools(), .cacheDir = m_cache});
        int ticks = 0;
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
        timer.start(20);
        const QString out = QCoro::waitFor(diagnostics.shell(u"sleep 0.4; echo done"_s));
        QCOMPARE(out, u"done\n"_s);
        QVERIFY2(ticks >= 5, qPrintable(QString::number(ticks)));
        QCOMPARE(QCoro::waitFor(diagnostics.cached(u"diskutil list"_s)), u"SMART Status: Verified\n"_s);
        QCoro::waitFor(diagnostics.cached(u"diskutil list"_s));
        QCOMPARE(runs(u"diskutil list"_s), 1);
    }
};

QTEST_GUILESS_MAIN(TestDeviceEngine)
#include "tst_device_engine.moc"
