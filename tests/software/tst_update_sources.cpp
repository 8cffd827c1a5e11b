// Where updates come from beyond the home lists, and whether this Mac can run them: the compatibility rule as
// the store writes minOs and arch, the store's search by exact name with its cache and failures, and
// developers' appcasts served by a local server.

#include "TestTree.h"

#include "../store/StoreJson.h"
#include "ScriptedServer.h"

#include "service/Endpoint.h"
#include "software/Compatibility.h"
#include "software/UpdateCheck.h"

#include <QJsonArray>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace TestTree;

namespace {

const ThisMac kSonomaArm{u"13.6"_s, ThisMac::Chip::appleSilicon};

ScriptedReply searchReply(const QJsonArray &apps = {})
{
    return json(QJsonObject{{"apps", apps}, {"other", QJsonArray{}}});
}

QJsonObject storeJson(const QString &name, const QString &version, const QString &minOs, const QString &arch)
{
    QJsonObject a = fixtures::app(name.toLower());
    a["name"] = name;
    a["version"] = version;
    a["minOs"] = minOs;
    a["arch"] = arch;
    return a;
}

QByteArray item(const QByteArray &inner)
{
    return "<item><title>t</title>" + inner + "</item>";
}

QByteArray feedOf(const QByteArray &items)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?><rss version=\"2.0\" "
           "xmlns:sparkle=\"https://dev.test/ns/sparkle\"><channel><title>Feed</title>"
           "<link>https://dev.test/app</link>" +
        items + "</channel></rss>";
}

QByteArray tag(const QByteArray &name, const QByteArray &value)
{
    return "<sparkle:" + name + ">" + value + "</sparkle:" + name + ">";
}

QByteArray enclosure(const QByteArray &shortVersion, const QByteArray &build)
{
    return "<enclosure url=\"https://dev.test/App.zip\" sparkle:version=\"" + build +
        "\" sparkle:shortVersionString=\"" + shortVersion + "\" length=\"10\" type=\"application/octet-stream\"/>";
}

} // namespace

class TestUpdateSources : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_bundles = 0;

    LocalApp bundle(const QString &name, const QString &shortVersion, const QString &build, const QString &feed = {})
    {
        const QString file = u"App%1.app"_s.arg(++m_bundles);
        makeBundle(m_dir.path(), file, name, shortVersion,
                   stringKey("CFBundleVersion", build) +
                       (feed.isEmpty() ? QByteArray() : stringKey("SUFeedURL", feed.toHtmlEscaped())));
        return LocalApp(m_dir.filePath(file), name, shortVersion, {}, 0);
    }

    static void runCheck(UpdateCheck &check, const QList<LocalApp> &apps, bool feeds = true)
    {
        QSignalSpy finished(&check, &UpdateCheck::finished);
        check.start(apps, feeds, kSonomaArm);
        if (check.running())
            QVERIFY(finished.wait(20000));
    }

private Q_SLOTS:
    void init() { UpdateCheck::clearCache(); }

    // Expected: whether the update is offered, then the requirement shown.
    void compatibility_data()
    {
        QTest::addColumn<QString>("minOs");
        QTest::addColumn<QString>("arch");
        QTest::addColumn<QString>("os");
        QTest::addColumn<bool>("appleSilicon");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char *name, const QString &minOs, const QString &arch, const QString &os,
                            bool appleSilicon, const QString &expected) {
            QTest::newRow(name) << minOs << arch << os << appleSilicon << expected;
        };
        const bool arm = true, intel = false;
        const QString any = u"universal"_s;
        row("same minimum", u"macOS 13.6"_s, any, u"13.6"_s, arm, u"offered|"_s);
        row("newer minimum", u"macOS 14.0"_s, any, u"13.6"_s, arm, u"|需要 macOS 14.0 以上"_s);
        row("numeric, not text", u"macOS 13.10"_s, any, u"13.9.1"_s, intel, u"|需要 macOS 13.10 以上"_s);
        row("plus form", u"14+"_s, any, u"13.6"_s, arm, u"|需要 macOS 14 以上"_s);
        row("glued", u"macOS11.0"_s, any, u"10.15.7"_s, intel, u"|需要 macOS 11.0 以上"_s);
        row("intel build on apple silicon", u"macOS 10.15"_s, u"x64"_s, u"13.6"_s, arm, u"offered|需 Rosetta"_s);
        row("intel build on intel", u"macOS 10.15"_s, u"x64"_s, u"13.6"_s, intel, u"offered|"_s);
        row("arm build on intel", u"macOS 13.0"_s, u"arm64"_s, u"14.2"_s, intel, u"|不支持 Intel 芯片"_s);
        row("arm build on apple silicon", u"macOS 13.0"_s, u"arm64"_s, u"14.2"_s, arm, u"offered|"_s);
        row("system before chip", u"macOS 15.0"_s, u"arm64"_s, u"14.2"_s, intel, u"|需要 macOS 15.0 以上"_s);
        row("unknown formats", u"最新系统"_s, u"ppc"_s, u"13.6"_s, intel, u"offered|"_s);
        row("unknown system", u"macOS 14.0"_s, any, QString(), arm, u"offered|"_s);
    }
    void compatibility()
    {
        QFETCH(QString, minOs);
        QFETCH(QString, arch);
        QFETCH(QString, os);
        QFETCH(bool, appleSilicon);
        QFETCH(QString, expected);
        const ThisMac mac{os, appleSilicon ? ThisMac::Chip::appleSilicon : ThisMac::Chip::intel};
        const Compatibility c = Compatibility::of(minOs, arch, mac);
        QCOMPARE((c.offered() ? u"offered|"_s : u"|"_s) + c.requirement, expected);
    }

    // Exact names only; an answer is kept for an hour, a failure is asked again and marks the check incomplete.
    void storeSearch()
    {
        ScriptedServer server;
        Endpoint::setBase(server.base());
        server.reply(searchReply());
        const QJsonObject tapeApp = storeJson(u"Tape"_s, u"3.0.2"_s, u"macOS 10.15"_s, u"x64"_s);
        server.script("GET", "/api/store/search?q=Tape",
                      searchReply({storeJson(u"Tape Pro"_s, u"9.0"_s, u"macOS 11.0"_s, u"universal"_s), tapeApp}));
        server.script("GET", "/api/store/search?q=tape", searchReply({tapeApp}));
        server.script("GET", "/api/store/search?q=Down", status(500));
        const LocalApp tape(u"/A/Tape.app"_s, u"Tape"_s, u"2.4.0"_s, {}, 1);
        const LocalApp lower(u"/A/tape.app"_s, u"tape"_s, u"1.0"_s, {}, 1);
        const LocalApp down(u"/A/Down.app"_s, u"Down"_s, u"1.0"_s, {}, 1);
        UpdateCheck check;
        runCheck(check, {tape, lower, down});
        QCOMPARE(check.offers().keys(), QStringList{tape.id()});
        const UpdateOffer offer = check.offers().value(tape.id());
        QCOMPARE((std::tuple{offer.source, offer.version, offer.compatibility.requirement}),
                 (std::tuple{UpdateOffer::Source::storeSearch, u"3.0.2"_s, u"需 Rosetta"_s}));
        QVERIFY(check.incomplete());
        runCheck(check, {tape, down});
        QCOMPARE(check.offers().keys(), QStringList{tape.id()});
        QCOMPARE(server.count("GET", "/api/store/search?q=Tape"), 1);
        QCOMPARE(server.count("GET", "/api/store/search?q=Down"), 2);
    }

    void appcast_data()
    {
        QTest::addColumn<QByteArray>("feed"); // served at /appcast.xml
        QTest::addColumn<QString>("installed"); // "short/build"
        QTest::addColumn<QString>("address"); // SUFeedURL; "local" for the test server's feed
        QTest::addColumn<QString>("offer"); // version|page|"incomplete" when the check is
        const auto row = [](const char *name, const QByteArray &feed, const QString &installed, const QString &offer,
                            const QString &address = u"local"_s) {
            QTest::newRow(name) << feed << installed << address << offer;
        };
        row("enclosure attributes",
            feedOf(item(enclosure("2.1.0", "210") + tag("releaseNotesLink", "https://dev.test/notes/2.1.html")) +
                   item(enclosure("2.0.0", "200"))),
            u"2.0.0/200"_s, u"2.1.0|https://dev.test/notes/2.1.html|"_s);
        row("elements, newest not first",
            feedOf(item(tag("version", "300") + tag("shortVersionString", "3.0") + "<link>https://dev.test/3</link>") +
                   item(tag("version", "310") + tag("shortVersionString", "3.1") + "<link>https://dev.test/31</link>")),
            u"2.9/290"_s, u"3.1|https://dev.test/31|"_s);
        row("too new for this mac",
            feedOf(item(enclosure("5.0", "500") + tag("minimumSystemVersion", "14.0")) +
                   item(enclosure("4.2", "420") + tag("minimumSystemVersion", "12.0"))),
            u"4.0/400"_s, u"4.2|https://dev.test/app|"_s);
        row("beta channel and other os",
            feedOf(item(enclosure("9.0", "900") + tag("channel", "beta")) +
                   item("<enclosure sparkle:os=\"windows\" sparkle:version=\"800\" url=\"https://x\"/>")),
            u"1.0/100"_s, u"||"_s);
        row("same short, newer build", feedOf(item(enclosure("3.0", "301"))), u"3.0/300"_s,
            u"3.0|https://dev.test/app|"_s);
        row("installed is newest", feedOf(item(enclosure("2.0.0", "200"))), u"2.0.0/200"_s, u"||"_s);
        row("script page ignored", feedOf(item(enclosure("2.0", "2") + tag("releaseNotesLink", "javascript:alert(1)"))),
            u"1.0/1"_s, u"2.0|https://dev.test/app|"_s);
        row("not an appcast", "<html><body>moved</body></html>", u"1.0/1"_s, u"||"_s);
        row("too large", feedOf(QByteArray(3 * 1024 * 1024, ' ')), u"1.0/1"_s, u"||incomplete"_s);
        row("local file address", {}, u"1.0/1"_s, u"||incomplete"_s, u"file:///etc/passwd"_s);
        row("missing feed", {}, u"1.0/1"_s, u"||incomplete"_s, u"local404"_s);
    }
    void appcast()
    {
        QFETCH(QByteArray, feed);
        QFETCH(QString, installed);
        QFETCH(QString, address);
        QFETCH(QString, offer);
        ScriptedServer server;
        Endpoint::setBase(server.base());
        server.reply(searchReply());
        server.script("GET", "/appcast.xml", ScriptedReply{.body = feed, .contentType = "application/rss+xml"});
        server.script("GET", "/gone.xml", status(404));
        const QString url = address == u"local" ? server.base() + u"/appcast.xml"_s
            : address == u"local404"            ? server.base() + u"/gone.xml"_s
                                                : address;
        const LocalApp app = bundle(u"Indie"_s, installed.section(u'/', 0, 0), installed.section(u'/', 1), url);

        UpdateCheck check;
        runCheck(check, {app});
        const UpdateOffer got = check.offers().value(app.id());
        QCOMPARE(got.version + u'|' + got.page.toString() + u'|' + (check.incomplete() ? u"incomplete"_s : QString()),
                 offer);
        if (!got.version.isEmpty())
            QCOMPARE(got.source, UpdateOffer::Source::developer);

        // Turned off, no feed is read.
        const int asked = server.count("GET", "/appcast.xml");
        runCheck(check, {app}, false);
        QVERIFY(check.offers().isEmpty());
        QCOMPARE(server.count("GET", "/appcast.xml"), asked);
    }
};

QTEST_GUILESS_MAIN(TestUpdateSources)
#include "tst_update_sources.moc"
