// The whole check end to end: vexlo-check over each bundled sample Mac, and DeviceCheck's step-by-step run.

#include "device/DeviceCheck.h"

#include <QtTest>

#include <memory>

#include "Fixtures.h"

using namespace Qt::StringLiterals;

namespace {

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

Run runCheck(const QStringList &arguments, const QString &log = {})
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(u"VEXLO_STANDIN_PROFILE"_s);
    if (!log.isEmpty())
        env.insert(u"VEXLO_STANDIN_LOG"_s, log);
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(VEXLO_CHECK_BIN), arguments);
    if (!process.waitForFinished(60000))
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

} // namespace

class TestVexloCheck : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private Q_SLOTS:
    void profiles_data()
    {
        QTest::addColumn<QString>("profile");
        QTest::addColumn<int>("score");
        QTest::addColumn<QString>("verdict");
        QTest::addColumn<QStringList>("issues");
        QTest::newRow("healthy") << u"healthy"_s << 100 << u"没有发现明显问题"_s << QStringList{};
        QTest::newRow("tampered")
            << u"tampered"_s << 9 << u"问题较多，二手建议压价或放弃"_s
            << QStringList{
                   u"有硬件序列号无法读取，可能被更换过（电池 / 硬盘）"_s, u"无法读取电池序列号，电池可能为非原厂"_s,
                   u"磁盘被扩容：型号 MKGP3CH/A 出厂为 512GB，实测 1024GB。非原装硬盘，二手价应按改装机评估"_s,
                   u"磁盘被划分成 2 个容器，系统盘只占一部分"_s, u"系统完整性保护（SIP）被关闭，可能被修改过系统"_s};
        // A desktop has no battery to read; the external backup disk's container is not a partition of the
        // internal disk.
        QTest::newRow("intel-desktop") << u"intel-desktop"_s << 100 << u"没有发现明显问题"_s << QStringList{};
    }
    void profiles()
    {
        QFETCH(QString, profile);
        QFETCH(int, score);
        QFETCH(QString, verdict);
        QFETCH(QStringList, issues);

        const QString log = m_dir.filePath(profile + u".log"_s);
        const Run json = runCheck({u"--profile"_s, profile, u"--json"_s, u"--refresh"_s}, log);
        QCOMPARE(json.exitCode, 0);
        QVERIFY(json.err.contains(u"示例机器"_s)); // sample data is never passed off as this Mac's
        QJsonParseError error;
        const QJsonObject doc = QJsonDocument::fromJson(json.out.toUtf8(), &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(doc.value(u"score"_s).toInt(), score);
        QCOMPARE(doc.value(u"verdict"_s).toString(), verdict);
        QStringList gotIssues;
        for (const QJsonValue &v : doc.value(u"issues"_s).toArray())
            gotIssues << v.toString();
        QCOMPARE(gotIssues, issues);
        QStringList sectionIds;
        for (const QJsonValue &v : doc.value(u"sections"_s).toArray())
            sectionIds << v.toObject().value(u"id"_s).toString();
        QCOMPARE(sectionIds, (QStringList{u"battery"_s, u"storage"_s, u"display"_s, u"io"_s, u"security"_s}));

        // Each memory-cached command ran once in the whole check; the hardware report twice (cached + live)
        // because the file cache was cleared first.
        const QStringList calls = readText(log).split(u'\n', Qt::SkipEmptyParts);
        for (const QString &once :
             {u"ioreg -rn AppleSmartBattery"_s, u"system_profiler SPNVMeDataType"_s, u"diskutil info disk0"_s,
              u"diskutil list"_s, u"csrutil status"_s, u"fdesetup status"_s})
            QVERIFY2(calls.count(once) == 1, qPrintable(once + u": "_s + QString::number(calls.count(once))));
        QCOMPARE(calls.count(u"system_profiler SPHardwareDataType"_s), 2);
        QCOMPARE(calls.count(u"df -k /"_s), 3); // root device twice (layout, cross-checks), free space once

        // The report text, line by line, and the hardware report now served from the file cache.
        QFile::remove(log);
        const Run text = runCheck({u"--profile"_s, profile}, log);
        QCOMPARE(text.exitCode, 0);
        QCOMPARE(text.out, QString::fromUtf8(readFixture(u"report-"_s + profile + u".txt"_s)) + u'\n');
        QCOMPARE(readText(log).split(u'\n').count(u"system_profiler SPHardwareDataType"_s), 1);
    }

    void toolsFolderAndOptions()
    {
        // --tools points at a folder of tools; the stand-ins there print their default sample Mac.
        const Run run = runCheck({u"--tools"_s, QStringLiteral(STANDINS_DIR "/tools"), u"--refresh"_s});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.out.startsWith(u"Vexlo 验机报告\nMacBook Air · Mac14,2 · Apple M2\n"_s));

        const Run unknown = runCheck({u"--profile"_s, u"../healthy"_s});
        QCOMPARE(unknown.exitCode, 2);
        QVERIFY(unknown.err.contains(u"找不到示例机器"_s));
        QVERIFY(unknown.out.isEmpty());

        const Run missingDir = runCheck({u"--tools"_s, m_dir.filePath(u"none"_s)});
        QCOMPARE(missingDir.exitCode, 2);
        QVERIFY(missingDir.err.contains(u"工具文件夹不存在"_s));
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
        QList<int> pendingSizes;
        QList<int> sectionCounts;
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
        QCOMPARE(check.pending().size(), 7);
        QCOMPARE(check.pendingTitle(), u"整机信息"_s);
        check.runAll(true); // ignored while running
        QCoro::waitFor(std::move(task));

        QCOMPARE(
            seen,
            (QStringList{u"identity"_s, u"battery"_s, u"storage"_s, u"display"_s, u"io"_s, u"security"_s, u"cross"_s}));
        QCOMPARE(pendingSizes, (QList<int>{6, 5, 4, 3, 2, 1, 0}));
        QCOMPARE(sectionCounts, (QList<int>{0, 1, 2, 3, 4, 5, 5}));
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
        // The two reads of the identity, and the battery read if it had started.
        const qsizetype reads = readText(log).count(u'\n');
        QVERIFY2(reads == 2 || reads == 3, qPrintable(QString::number(reads)));
    }
};

QTEST_GUILESS_MAIN(TestVexloCheck)
#include "tst_vexlo_check.moc"
