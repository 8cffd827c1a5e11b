// Parsing of "vexlink" links, their queue until the window listens, and the hand-over from a second launch.
#include "screens/window/DeepLinks.h"
#include "screens/window/InstanceRelay.h"

#include <QFile>
#include <QLocalServer>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtConcurrent/QtConcurrentRun>
#include <QtTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(DeepLinkTarget::Kind)

class DeepLinkTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parse_data()
    {
        using Kind = DeepLinkTarget::Kind;
        QTest::addColumn<QString>("link");
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("argument");

        // The slug alone counts: extra components, a doubled slash and a query do not change it.
        for (const char *link : {"vexlink://app/muse-chat", "vexlink://app/muse-chat/reviews",
                                 "vexlink://app//muse-chat", "vexlink://app/muse-chat?from=web"})
            QTest::newRow(link) << QString::fromLatin1(link) << Kind::app << u"muse-chat"_s;

        for (const QString &name : {u"top"_s, u"device"_s, u"latest"_s, u"wallpapers"_s, u"member"_s, u"installed"_s})
            QTest::newRow(qPrintable(u"section "_s + name)) << u"vexlink://section/"_s + name << Kind::section << name;
        // Sections that are no link target, and names that are not exactly one, mean discover.
        for (const char *name : {"categories", "softwareManager", "Top"})
            QTest::addRow("section %s", name)
                << u"vexlink://section/"_s + QLatin1String(name) << Kind::section << u"discover"_s;

        // No slug; a slug that climbs up, is "..", or hides a query; another host or scheme; no host; nothing.
        for (const char *link : {"vexlink://app/", "vexlink://app/..%2F..%2Fapi%2Fstore%2Forders", "vexlink://app/..",
                                 "vexlink://app/a%3Fb", "vexlink://detail/muse-chat", "https://app/muse-chat",
                                 "vexlinks://app/muse-chat", "vexlink:app/muse-chat", ""})
            QTest::addRow("nothing: %s", link) << QString::fromLatin1(link) << Kind::none << QString();
    }

    void parse()
    {
        QFETCH(QString, link);
        QFETCH(DeepLinkTarget::Kind, kind);
        QFETCH(QString, argument);
        const DeepLinkTarget target = parseDeepLink(QUrl(link));
        QCOMPARE(target.kind, kind);
        QCOMPARE(target.argument, argument);
    }

    // Links opened before the window listens wait, in order; later ones go straight through.
    void queueUntilAttached()
    {
        DeepLinks &links = *DeepLinks::instance();
        QSignalSpy spy(&links, &DeepLinks::linkOpened);
        links.open(QUrl(u"vexlink://app/a"_s));
        links.open(QUrl(u"vexlink://section/top"_s));
        QCOMPARE(spy.count(), 0);
        links.attach();
        QCOMPARE(QList<QVariantList>(spy),
                 (QList<QVariantList>{{QUrl(u"vexlink://app/a"_s)}, {QUrl(u"vexlink://section/top"_s)}}));
        links.open(QUrl(u"vexlink://section/latest"_s));
        QCOMPARE(spy.count(), 3);
        links.attach();
        QCOMPARE(spy.count(), 3);
    }

    // A second launch hands its links to the running instance and learns that it may exit.
    void handOver()
    {
        QTemporaryDir dir;
        const QString name = dir.filePath(u"relay.socket"_s);
        InstanceRelay running(name);
        QCOMPARE(running.listen(), InstanceRelay::Listening::yes);
        QSignalSpy activated(&running, &InstanceRelay::activated);

        const QStringList links{u"vexlink://app/muse-chat"_s, u"vexlink://section/top"_s};
        auto later = QtConcurrent::run([name, links] { return InstanceRelay(name).handOver(links); });
        QVERIFY(activated.wait(5000));
        QVERIFY(later.result());
        QCOMPARE(activated.at(0).at(0).toStringList(), links);

        // A plain second launch (no links) still asks the running one to come forward.
        auto plain = QtConcurrent::run([name] { return InstanceRelay(name).handOver({}); });
        QVERIFY(activated.wait(5000));
        QVERIFY(plain.result());
        QCOMPARE(activated.at(1).at(0).toStringList(), QStringList());

        // The running instance keeps the name: a further instance cannot take it over.
        InstanceRelay second(name);
        QCOMPARE(second.listen(), InstanceRelay::Listening::anotherRuns);
    }

    // An instance that answers but is too busy to take the links: the later launch must not start a second one.
    void busyInstance()
    {
        QTemporaryDir dir;
        const QString name = dir.filePath(u"relay.socket"_s);
        QLocalServer busy; // accepts at the socket level, never replies
        QVERIFY(busy.listen(name));
        QVERIFY(!InstanceRelay(name).handOver({u"vexlink://section/top"_s}, 300));
        QCOMPARE(InstanceRelay(name).listen(), InstanceRelay::Listening::anotherRuns);
    }

    // With nobody running, a launch becomes the running instance, also over a socket left by a crash.
    void noneRunning()
    {
        QTemporaryDir dir;
        const QString name = dir.filePath(u"relay.socket"_s);
        QVERIFY(!InstanceRelay(name).handOver({u"vexlink://section/top"_s}, 500));

        {
            // A leftover socket file whose server is gone.
            QLocalServer crashed;
            QVERIFY(crashed.listen(name));
            crashed.setSocketOptions(QLocalServer::UserAccessOption);
        }
        QFile leftover(name);
        if (!leftover.exists()) {
            QVERIFY(leftover.open(QIODevice::WriteOnly));
            leftover.close();
        }
        QVERIFY(!InstanceRelay(name).handOver({}, 500));
        InstanceRelay fresh(name);
        QCOMPARE(fresh.listen(), InstanceRelay::Listening::yes);
    }
};

QTEST_MAIN(DeepLinkTest)
#include "tst_deeplink.moc"
