// The quick search panel over a Store and a scripted store service, where it opens, and `--quick-search` in the
// lines a later launch hands over.
#include "menubar/LaunchRequest.h"
#include "menubar/PanelPlacement.h"
#include "menubar/QuickSearch.h"
#include "service/Endpoint.h"
#include "store/Store.h"

#include <QAbstractItemModelTester>
#include <QQuickItem>
#include <QtTest>

#include "../store/StoreJson.h"
#include "Fixtures.h"
#include "RecordingPlatform.h"
#include "ItemQuery.h"
#include "ScreenEngine.h"
#include "ScriptedServer.h"
#include "vexlo_qml_plugins.h"

using namespace Qt::StringLiterals;
using ItemQuery::named;
using ItemQuery::only;

namespace {

QStringList rowNames(QQuickItem *root)
{
    QStringList names;
    for (QQuickItem *row : named(root, u"resultRow"_s))
        names.append(row->property("name").toString());
    return names;
}

QJsonObject homeWith(int latest, std::optional<QJsonObject> member)
{
    QJsonObject home = fixtures::home(u"站"_s, member);
    QJsonArray apps;
    for (int i = 1; i <= latest; ++i)
        apps.append(fixtures::app(u"n%1"_s.arg(i)));
    home["latest"] = apps;
    return home;
}

} // namespace

class MenuBarTest : public QObject
{
    Q_OBJECT

private:
    ScriptedServer m_server;
    std::unique_ptr<ScreenEngine> m_screens;

    std::unique_ptr<QQuickItem> panel() { return m_screens->load<QQuickItem>(u"MenuBar/MenuExtraView.qml"_s); }
    void setHome(const QJsonObject &json) { m_screens->store.setHome(decode<StoreHome>(json)); }
    // Types `text` and presses Return.
    static void search(QQuickItem *page, const QString &text)
    {
        QQuickItem *field = only(page, u"quickSearchField"_s);
        field->setProperty("text", text);
        QMetaObject::invokeMethod(field, "textEdited");
        QMetaObject::invokeMethod(field, "accepted");
    }

private Q_SLOTS:
    void init()
    {
        m_server.requests.clear();
        Endpoint::setBase(m_server.base());
        m_screens = std::make_unique<ScreenEngine>();
    }
    void cleanup() { m_screens.reset(); }

    // An empty query lists the five newest in the payload's order; spaces only send nothing and show the
    // not-found text with the spaces; Chinese goes out percent-encoded and its hits replace the list.
    void searchArea()
    {
        setHome(homeWith(7, std::nullopt));
        auto page = panel();
        QAbstractItemModelTester tester(page->property("search").value<QuickSearch *>()->rows());
        QVERIFY(only(page.get(), u"latestHeading"_s)->isVisible());
        QCOMPARE(rowNames(page.get()), (QStringList{u"App n1"_s, u"App n2"_s, u"App n3"_s, u"App n4"_s, u"App n5"_s}));
        search(page.get(), u"   "_s);
        QTest::qWait(50);
        QVERIFY(m_server.requests.isEmpty());
        QVERIFY(only(page.get(), u"notFoundText"_s)->isVisible());
        QCOMPARE(only(page.get(), u"notFoundText"_s)->property("text").toString(), u"没有找到「   」"_s);
        QVERIFY(rowNames(page.get()).isEmpty());
        m_server.script("GET", "/api/store/search?q=%E6%88%AA%E5%9B%BE", json(fixtures::searchHits({u"shot"_s}), 200));
        search(page.get(), u" 截图 "_s);
        QVERIFY(only(page.get(), u"quickSearchSpinner"_s)->isVisible());
        QTRY_COMPARE(rowNames(page.get()), QStringList{u"App shot"_s});
        QVERIFY(!only(page.get(), u"quickSearchSpinner"_s)->isVisible());
        QCOMPARE(m_server.requests.size(), 1);
    }

    // Of two submissions the newer owns the rows and the spinner, whichever reply comes last.
    void newestSearchWins_data() { fixtures::newestSearchRows(); }
    void newestSearchWins()
    {
        QFETCH(int, olderMs);
        QFETCH(int, newerMs);
        fixtures::scriptOldAndNewSearch(m_server, olderMs, newerMs);
        auto page = panel();
        QQuickItem *spinner = only(page.get(), u"quickSearchSpinner"_s);
        search(page.get(), u"old"_s);
        search(page.get(), u"new"_s);
        if (newerMs > olderMs) {
            QTest::qWait(olderMs + 200); // the older reply is in, the newer still on its way
            QVERIFY(spinner->isVisible() && rowNames(page.get()).isEmpty());
        }
        QTRY_COMPARE(rowNames(page.get()), QStringList{u"App new"_s});
        QVERIFY(!spinner->isVisible());
        QTest::qWait(olderMs + 200); // an older reply still on its way comes and goes
        QCOMPARE(rowNames(page.get()), QStringList{u"App new"_s});
        QVERIFY(!spinner->isVisible());
    }

    void memberStatus_data()
    {
        QTest::addColumn<bool>("signedIn");
        QTest::addColumn<bool>("active");
        QTest::addColumn<bool>("forever");
        QTest::addColumn<QString>("status");
        QTest::newRow("signed out") << false << false << false << QString();
        QTest::newRow("forever, inactive") << true << false << true << u"终身"_s;
        QTest::newRow("sponsor") << true << true << false << u"30 天"_s;
        QTest::newRow("not sponsoring") << true << false << false << u"未赞助"_s;
    }
    void memberStatus()
    {
        QFETCH(bool, signedIn);
        QFETCH(bool, active);
        QFETCH(bool, forever);
        QFETCH(QString, status);
        QJsonObject member = fixtures::member(active);
        member["forever"] = forever;
        member["daysLeft"] = 30;
        setHome(homeWith(0, signedIn ? std::optional(member) : std::nullopt));
        auto page = panel();
        QCOMPARE(only(page.get(), u"memberStatus"_s)->isVisible(), signedIn);
        if (!signedIn)
            return;
        QCOMPARE(only(page.get(), u"statusText"_s)->property("text").toString(), status);
        QCOMPARE(only(page.get(), u"statusDot"_s)->opacity() < 1, !active);
    }

    // "壁纸" and a result row clear the open detail, go to their place and bring the window forward.
    void openStore_data()
    {
        QTest::addColumn<QString>("pressed");
        QTest::addColumn<Store::Section>("section");
        QTest::addColumn<QByteArray>("request");
        QTest::newRow("壁纸") << u"wallpapersLink"_s << Store::Section::wallpapers << QByteArray();
        QTest::newRow("赞助会员") << u"memberLink"_s << Store::Section::member << QByteArray();
        QTest::newRow("row") << u"resultRow"_s << Store::Section::discover << QByteArray("/api/store/apps/n1");
    }
    void openStore()
    {
        QFETCH(QString, pressed);
        QFETCH(Store::Section, section);
        QFETCH(QByteArray, request);
        setHome(homeWith(1, std::nullopt));
        m_screens->store.setDetail(decode<StoreDetail>(fixtures::detail(u"open"_s)));
        auto page = panel();
        QSignalSpy raised(page.get(), SIGNAL(storeWindowWanted()));
        QMetaObject::invokeMethod(only(page.get(), pressed), "clicked");
        QCOMPARE(raised.size(), 1);
        QCOMPARE(m_screens->store.section(), section);
        if (request.isEmpty()) {
            QVERIFY(!m_screens->store.detail() && !m_screens->store.detailLoading());
        } else {
            QTRY_VERIFY(!m_server.requests.isEmpty());
            QCOMPARE(m_server.requests.first().target, request);
        }
    }

    // `vexlo --quick-search` in a later launch survives the hand-over lines as a request for the panel (the relay
    // carries the lines unchanged: screens_deeplink's handOver).
    void quickSearchHandOver()
    {
        const LaunchRequest later =
            LaunchRequest::fromArguments({u"vexlo"_s, u"--quick-search"_s, u"vexlink://app/x"_s, u"--other"_s});
        QCOMPARE(later.links, QStringList{u"vexlink://app/x"_s});
        const LaunchRequest received = LaunchRequest::fromHandedLines(later.handedLines());
        QVERIFY(received.quickSearch);
        QCOMPARE(received.links, later.links);
        QVERIFY(!LaunchRequest::fromArguments({u"vexlo"_s}).quickSearch);
    }

    void placement_data()
    {
        QTest::addColumn<QRect>("icon");
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QPoint>("expected");
        const QRect screen(0, 0, 1920, 1080);
        QTest::newRow("top bar") << QRect(1000, 0, 24, 24) << screen << QPoint(861, 28);
        QTest::newRow("bottom bar") << QRect(500, 1056, 24, 24) << screen << QPoint(361, 652);
        QTest::newRow("right edge") << QRect(1900, 0, 20, 24) << screen << QPoint(1620, 28);
        QTest::newRow("no icon") << QRect() << screen << QPoint(809, 180);
        // A macOS status item sits in the menu bar, above the screen's free area; the panel hangs under it.
        QTest::newRow("status item") << QRect(1500, 0, 30, 37) << QRect(0, 37, 1920, 1043) << QPoint(1364, 41);
    }
    void placement()
    {
        QFETCH(QRect, icon);
        QFETCH(QRect, available);
        QFETCH(QPoint, expected);
        QCOMPARE(panelPosition(icon, QSize(300, 400), available), expected);
    }
};

QTEST_MAIN(MenuBarTest)
#include "tst_menubar.moc"
