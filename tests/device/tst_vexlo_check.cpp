// The whole check end to end: vexlo-check over each bundled sample Mac, and DeviceCheck's step-by-step run.

#include "device/DeviceCheck.h"
#include "device/DeviceRules.h"

#include <QtTest>

#include <csignal>
#include <memory>

#include "CommandRun.h"
#include "Fixtures.h"

using namespace Qt::StringLiterals;

namespace {

CommandRun runCheck(const QStringList &arguments, const QString &log = {}, const QString &profile = {})
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(u"VEXLO_STANDIN_PROFILE"_s);
    if (!profile.isEmpty())
        env.insert(u"VEXLO_STANDIN_PROFILE"_s, profile);
    if (!log.isEmpty())
        env.insert(u"VEXLO_STANDIN_LOG"_s, log);
    return runCommand(QStringLiteral(VEXLO_CHECK_BIN), arguments, env);
}

// The stand-in tools of the healthy sample Mac, copied into `dir`, with `tool` replaced by `script`.
bool hostileTools(const QString &dir, const QString &tool, const QByteArray &script)
{
    QDir().mkpath(dir);
    if (QProcess::execute(u"cp"_s, {u"-R"_s, QStringLiteral(STANDINS_DIR "/tools/."), dir}) != 0)
        return false;
    QFile file(dir + u'/' + tool);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    file.write("#!/bin/sh\n" + script);
    return file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
}

// LEFT_BEHIND: where the tools write the pids of what they start.
DiagnosticsConfig hostileConfig(const QString &dir)
{
    return {.tools = {.toolRoot = dir,
                      .environment = {{u"VEXLO_STANDIN_PROFILES"_s, QStringLiteral(STANDINS_DIR "/profiles")},
                                      {u"VEXLO_STANDIN_PROFILE"_s, u"healthy"_s},
                                      {u"LEFT_BEHIND"_s, dir + u"/left-behind"_s}},
                      .timeout = std::chrono::milliseconds(3000)},
            .cacheDir = dir + u"/cache"_s};
}

// True while the process runs (a zombie no longer counts).
bool running(qint64 pid)
{
    QFile stat(u"/proc/%1/stat"_s.arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = stat.readAll();
    return !line.mid(line.lastIndexOf(')') + 2, 1).startsWith('Z');
}

// "key=value|status" of every row of every section.
QStringList rowsOf(const QJsonObject &doc)
{
    QStringList rows;
    for (const QJsonValue &section : doc.value(u"sections"_s).toArray())
        for (const QJsonValue &m : section[u"metrics"_s].toArray())
            rows << m[u"key"_s].toString() + u'=' + m[u"value"_s].toString() + u'|' + m[u"status"_s].toString();
    return rows;
}

void verifyRows(const QJsonObject &doc, const QStringList &expected)
{
    const QStringList rows = rowsOf(doc);
    for (const QString &row : expected)
        QVERIFY2(rows.contains(row), qPrintable(row + u" not in: "_s + rows.join(u", "_s)));
}

} // namespace

class TestVexloCheck : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private Q_SLOTS:
    // Each sample Mac through the terminal: the JSON holds the rows with their statuses and agrees with the
    // report on the score.
    void profiles_data()
    {
        QTest::addColumn<QString>("profile");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("healthy") << u"healthy"_s
                                 << QStringList{u"dep=未登记|ok"_s, u"mdm=未注册|ok"_s, u"firmwarepw=不适用|info"_s,
                                                u"condition=正常|ok"_s};
        QTest::newRow("tampered") << u"tampered"_s << QStringList{u"sip=已关闭|bad"_s, u"cam=已识别|ok"_s};
        QTest::newRow("company") << u"company"_s
                                 << QStringList{u"dep=已登记|bad"_s, u"mdm=已注册（用户批准）|bad"_s,
                                                u"firmwarepw=已设置|warn"_s, u"condition=建议维修|bad"_s};
        // A desktop has no battery and this one no camera; the terminal reads an Intel Mac's firmware password.
        QTest::newRow("intel-desktop") << u"intel-desktop"_s
                                       << QStringList{u"none=无法读取|info"_s, u"cam=未检测到|warn"_s,
                                                      u"firmwarepw=未设置|ok"_s};
    }
    void profiles()
    {
        QFETCH(QString, profile);
        QFETCH(QStringList, rows);
        const QString log = m_dir.filePath(profile + u".log"_s);
        const CommandRun json = runCheck({u"--profile"_s, profile, u"--json"_s, u"--refresh"_s}, log);
        QCOMPARE(json.exitCode, 0);
        QVERIFY(json.err.contains(u"示例机器"_s)); // sample data is never passed off as this Mac's
        const QJsonObject doc = QJsonDocument::fromJson(json.out).object(); // unreadable: no sections below
        QStringList sectionIds;
        for (const QJsonValue &v : doc.value(u"sections"_s).toArray())
            sectionIds << v[u"id"_s].toString();
        QCOMPARE(sectionIds,
                 (QStringList{u"battery"_s, u"storage"_s, u"display"_s, u"io"_s, u"security"_s, u"management"_s}));
        verifyRows(doc, rows);
        const int score = doc.value(u"score"_s).toInt();
        QCOMPARE(doc.value(u"verdict"_s).toString(), DeviceRules::verdictFor(score));

        // Each memory-cached command ran once in the whole check, and so did the facts that change without the
        // hardware changing (enrollment, power report), never read from a cache; the hardware report twice (cached
        // + live) because the file cache was cleared first.
        const QStringList calls = readText(log).split(u'\n', Qt::SkipEmptyParts);
        for (const QString &once :
             {u"ioreg -rn AppleSmartBattery"_s, u"system_profiler SPNVMeDataType"_s, u"diskutil info disk0"_s,
              u"diskutil list"_s, u"csrutil status"_s, u"fdesetup status"_s, u"profiles status -type enrollment"_s,
              u"system_profiler SPPowerDataType"_s})
            QVERIFY2(calls.count(once) == 1, qPrintable(once + u": "_s + QString::number(calls.count(once))));
        QCOMPARE(calls.count(u"system_profiler SPHardwareDataType"_s), 2);
        QCOMPARE(calls.count(u"firmwarepasswd -check"_s), profile == u"intel-desktop" || profile == u"company" ? 1 : 0);
        QCOMPARE(calls.count(u"df -k /"_s), 3); // root device twice (layout, cross-checks), free space once

        // The report (the check's own text, held to data/ by stepByStep) reads the hardware report from the file
        // cache now.
        QFile::remove(log);
        const CommandRun text = runCheck({u"--profile"_s, profile}, log);
        QCOMPARE(text.exitCode, 0);
        QVERIFY(text.text().contains(u"\n评分 %1/100\n"_s.arg(score)));
        QCOMPARE(readText(log).split(u'\n').count(u"system_profiler SPHardwareDataType"_s), 1);
    }

    // --tools points at a folder of tools; the stand-ins there print their default sample Mac. The serial on the
    // case is held against the system's (its normalising is device_rules'), and the picture is written. Refused
    // arguments end it with 2 before any report; a picture it cannot write, with 1 after the report.
    void commandLineOptions()
    {
        const CommandRun run = runCheck({u"--tools"_s, QStringLiteral(STANDINS_DIR "/tools"), u"--refresh"_s});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.text().startsWith(u"Vexlo 验机报告\nMacBook Air · Mac14,2 · Apple M2\n"_s));

        const QString picture = m_dir.filePath(u"card.png"_s);
        const CommandRun other = runCheck({u"--profile"_s, u"intel-desktop"_s, u"--json"_s, u"--case-serial"_s,
                                           u"C02XG0FDH7JY"_s, u"--png"_s, picture});
        QCOMPARE(other.exitCode, 0);
        const QJsonObject doc = QJsonDocument::fromJson(other.out).object();
        QCOMPARE(doc.value(u"checks"_s).toArray().last()[u"result"_s].toString(), u"不一致"_s);
        QCOMPARE(QImage(picture).width(), 1080);

        const std::tuple<QStringList, int, QString> refusals[] = {
            {{u"--profile"_s, u"../healthy"_s}, 2, u"找不到示例机器"_s},
            {{u"--tools"_s, m_dir.filePath(u"none"_s)}, 2, u"工具文件夹不存在"_s},
            {{u"--profile"_s, u"healthy"_s, u"--png"_s, m_dir.filePath(u"none/card.png"_s)}, 1, u"图片无法写入"_s}};
        for (const auto &[arguments, exitCode, message] : refusals) {
            const CommandRun refused = runCheck(arguments);
            QCOMPARE(refused.exitCode, exitCode);
            QVERIFY2(refused.err.contains(message), qPrintable(refused.err));
            QVERIFY(exitCode != 2 || refused.out.isEmpty());
        }
    }

    // A security tool without a readable answer proves nothing: the fact reads 无法读取 (a warning, no penalty) in
    // the section, the cross-checks, the report and the JSON, and the check still ends soon.
    void unreadableSecurityTools_data()
    {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        const QString firewall = u"usr/libexec/ApplicationFirewall/socketfilterfw"_s;
        QTest::newRow("csrutil hangs") << u"csrutil"_s << QByteArray("echo $$ > \"$LEFT_BEHIND\"\nexec sleep 60\n")
                                       << u"sip"_s << u"无法读取"_s;
        QTest::newRow("csrutil prints nothing") << u"csrutil"_s << QByteArray("exit 1\n") << u"sip"_s << u"无法读取"_s;
        QTest::newRow("fdesetup prints invalid UTF-8")
            << u"fdesetup"_s << QByteArray("printf 'FileVault is On.\\377\\n'\n") << u"filevault"_s << u"无法读取"_s;
        QTest::newRow("firewall prints 100 MB")
            << firewall << QByteArray("head -c 100000000 /dev/zero\n") << u"firewall"_s << u"无法读取"_s;
        QTest::newRow("csrutil leaves a child holding its output")
            << u"csrutil"_s
            << QByteArray(
                   "echo 'System Integrity Protection status: enabled.'\nsleep 60 &\necho $! > \"$LEFT_BEHIND\"\n")
            << u"sip"_s << u"已开启"_s;
    }
    void unreadableSecurityTools()
    {
        QFETCH(QString, tool);
        QFETCH(QByteArray, script);
        QFETCH(QString, key);
        QFETCH(QString, value);
        const QString dir = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()));
        QVERIFY(hostileTools(dir, tool, script));
        DeviceCheck check(hostileConfig(dir));
        check.setStepPause(std::chrono::milliseconds(0));
        QElapsedTimer clock;
        clock.start();
        QCoro::waitFor(check.runAllTask(true));
        QVERIFY2(clock.elapsed() < 20000, qPrintable(QString::number(clock.elapsed())));

        const bool unreadable = value == u"无法读取"_s;
        const DeviceMetric *metric = check.section(u"security")->metric(key);
        QCOMPARE(metric->value, value);
        QCOMPARE(metric->status, unreadable ? DeviceStatus::warn : DeviceStatus::ok);
        const auto integrity = std::find_if(check.checks().cbegin(), check.checks().cend(),
                                            [](const CrossCheck &c) { return c.label == u"系统完整性"_s; });
        QCOMPARE(integrity->result, key == u"sip"_s && unreadable ? u"无法读取"_s : u"未被改动"_s);
        QCOMPARE(check.score(), 100);
        QCOMPARE(check.issues(), QStringList());
        QVERIFY(check.reportText().contains(u"  "_s + metric->label + u"："_s + value + u'\n'));
        QCOMPARE(rowsOf(check.toJson()).filter(QRegularExpression(u"^"_s + key + u'=')),
                 QStringList{key + u'=' + value + u'|' + statusText(metric->status)});
        if (const qint64 left = readText(dir + u"/left-behind"_s).trimmed().toLongLong())
            QTRY_VERIFY_WITH_TIMEOUT(!running(left), 3000);
    }

    // A tool hanging when its check ends, or when vexlo-check is told to stop, goes with it.
    void hungToolEndsWithTheCheck_data()
    {
        QTest::addColumn<int>("signal"); // 0: the check object goes away
        QTest::newRow("check gone") << 0;
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
    }
    void hungToolEndsWithTheCheck()
    {
        QFETCH(int, signal);
        const QString dir = m_dir.filePath(u"hung-"_s + QString::number(signal));
        const QString pidFile = dir + u"/csrutil.pid"_s;
        QVERIFY(hostileTools(dir, u"csrutil"_s, "echo $$ > \"" + pidFile.toUtf8() + "\"\nexec sleep 60\n"));
        QProcess cli;
        std::unique_ptr<DeviceCheck> check;
        if (signal == 0) {
            DiagnosticsConfig config = hostileConfig(dir);
            config.tools.timeout = std::chrono::milliseconds(60000);
            check = std::make_unique<DeviceCheck>(config);
            check->runAll(true);
        } else {
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(u"VEXLO_STANDIN_PROFILES"_s, QStringLiteral(STANDINS_DIR "/profiles"));
            cli.setProcessEnvironment(env);
            cli.start(QStringLiteral(VEXLO_CHECK_BIN), {u"--tools"_s, dir, u"--refresh"_s});
        }
        QTRY_VERIFY_WITH_TIMEOUT(!readText(pidFile).trimmed().isEmpty(), 20000);
        const qint64 pid = readText(pidFile).trimmed().toLongLong();
        QVERIFY(running(pid));
        if (signal == 0) {
            check.reset();
        } else {
            ::kill(pid_t(cli.processId()), signal);
            QVERIFY(cli.waitForFinished(5000));
            QCOMPARE(cli.exitStatus(), QProcess::CrashExit); // ended by the signal, as it asked
        }
        QTRY_VERIFY_WITH_TIMEOUT(!running(pid), 3000);
    }

    // Tools that are missing (an older system, or a folder of tools without them) read as 无法读取 and cost
    // nothing.
    void missingNewTools_data()
    {
        QTest::addColumn<QString>("profile");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("Apple silicon laptop")
            << u"healthy"_s
            << QStringList{u"dep=无法读取|warn"_s, u"mdm=无法读取|warn"_s, u"condition=无法读取|warn"_s};
        QTest::newRow("Intel desktop") << u"intel-desktop"_s
                                       << QStringList{u"firmwarepw=无法读取|warn"_s, u"none=无法读取|info"_s};
    }
    void missingNewTools()
    {
        QFETCH(QString, profile);
        QFETCH(QStringList, rows);
        const QString copy = m_dir.filePath(u"old-tools-"_s + profile);
        QCOMPARE(QProcess::execute(u"cp"_s, {u"-R"_s, QStringLiteral(STANDINS_DIR), copy}), 0);
        for (const QString &gone : {u"/tools/profiles"_s, u"/tools/firmwarepasswd"_s,
                                    u"/profiles/"_s + profile + u"/system_profiler_SPPowerDataType.txt"_s})
            QVERIFY(QFile::remove(copy + gone));
        const CommandRun run = runCheck({u"--tools"_s, copy + u"/tools"_s, u"--json"_s, u"--refresh"_s}, {}, profile);
        QCOMPARE(run.exitCode, 0);
        const QJsonObject doc = QJsonDocument::fromJson(run.out).object();
        verifyRows(doc, rows);
        QCOMPARE(doc.value(u"score"_s).toInt(), 100);
        QVERIFY(doc.value(u"issues"_s).toArray().isEmpty());
    }

    // A screen drives the run step by step: it sees the identity first, then each section in order,
    // with the pending steps shrinking, and the score only at the end.
    void stepByStep()
    {
        auto config = DiagnosticsConfig::forProfile(u"tampered"_s);
        QVERIFY(config);
        config->cacheDir = m_dir.filePath(u"cache"_s);
        DeviceCheck check(*config);
        QVERIFY(check.reportText().isEmpty());
        QVERIFY(!check.started());

        QStringList seen;
        QList<int> pendingSizes, sectionCounts;
        connect(&check, &DeviceCheck::stepFinished, this, [&](const QString &key) {
            seen << key;
            pendingSizes << int(check.pending().size());
            sectionCounts << int(check.sections().size());
            if (key == u"identity")
                QVERIFY(check.identity().has_value());
        });
        QSignalSpy finished(&check, &DeviceCheck::finished);
        auto task = check.runAllTask(false);
        QVERIFY(check.running());
        QCOMPARE(check.pending().size(), 8);
        QCOMPARE(check.pendingTitle(), u"整机信息"_s);
        check.runAll(true); // ignored while running
        QCoro::waitFor(std::move(task));

        QCOMPARE(seen,
                 (QStringList{u"identity"_s, u"battery"_s, u"storage"_s, u"display"_s, u"io"_s, u"security"_s,
                              u"management"_s, u"cross"_s}));
        QCOMPARE(pendingSizes, (QList<int>{7, 6, 5, 4, 3, 2, 1, 0}));
        QCOMPARE(sectionCounts, (QList<int>{0, 1, 2, 3, 4, 5, 6, 6}));
        QCOMPARE(finished.size(), 1);
        QVERIFY(!check.running());
        QVERIFY(check.scannedAt().isValid());
        QCOMPARE(check.score(), 9);
        QCOMPARE(check.sampleData(), true);
        QCOMPARE(check.reportText(), QString::fromUtf8(readFixture(u"report-tampered.txt"_s)));
    }

    // A check that goes away mid-run lets the tool running end, starts no other, and never makes this thread
    // wait for that tool.
    void goneMidRun()
    {
        auto config = DiagnosticsConfig::forProfile(u"healthy"_s);
        QVERIFY(config);
        config->cacheDir = m_dir.filePath(u"cache-gone"_s);
        const QString log = m_dir.filePath(u"gone.log"_s);
        config->tools.environment.insert(u"VEXLO_STANDIN_LOG"_s, log);
        config->tools.environment.insert(u"VEXLO_STANDIN_DELAY"_s, u"0.4"_s);
        auto check = std::make_unique<DeviceCheck>(*config);
        check->setStepPause(std::chrono::milliseconds(0));
        QSignalSpy steps(check.get(), &DeviceCheck::stepFinished);
        check->runAll(false);
        QVERIFY(steps.wait(20000)); // the identity
        check.reset();

        QElapsedTimer clock;
        qint64 last = 0, longest = 0;
        QTimer ticks;
        connect(&ticks, &QTimer::timeout, this, [&] {
            longest = std::max(longest, clock.elapsed() - last);
            last = clock.elapsed();
        });
        clock.start();
        ticks.start(10);
        QTest::qWait(2000);
        QVERIFY2(longest < 250, qPrintable(QString::number(longest)));
        // The two reads of the identity, and the battery step's two reads (registry, power report) if it had
        // started.
        const qsizetype reads = readText(log).count(u'\n');
        QVERIFY2(reads >= 2 && reads <= 4, qPrintable(QString::number(reads)));
    }
};

QTEST_GUILESS_MAIN(TestVexloCheck)
#include "tst_vexlo_check.moc"
