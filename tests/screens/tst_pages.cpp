// The store pages, loaded in a QML engine over a Store in a prepared state; checked by object name.
#include "screens/catalog/CategoryLoader.h"
#include "screens/components/Symbols.h"
#include "service/CatalogRecords.h"
#include "service/CommerceRecords.h"
#include "service/Endpoint.h"
#include "service/StoreAPI.h"
#include "screens/components/GlyphMap.h"
#include "store/Store.h"

#include <QJsonArray>
#include <QQuickItem>
#include <QRawFont>
#include <QtTest>
#include <QCoro/QCoroTask>

#include "Fixtures.h"
#include "ItemQuery.h"
#include "ScriptedServer.h"
#include "ScreenEngine.h"

#include "vexlo_qml_plugins.h"

using namespace Qt::StringLiterals;
using namespace ItemQuery;

namespace {

QJsonArray firstOf(const QJsonArray &list, qsizetype n)
{
    return QJsonArray::fromVariantList(list.toVariantList().mid(0, n));
}

} // namespace

class PagesTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ScreenEngine> m_screens;
    QJsonObject m_home;

    std::unique_ptr<QObject> load(const QString &file, const QVariantMap &properties = {})
    {
        QVariantMap initial{{u"width"_s, 1000}, {u"height"_s, 900}};
        initial.insert(properties);
        return m_screens->load(file, initial);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(Symbols::loadFont()); // before any page lists the system's fonts, as at start-up
        m_home = readJson(u"home.json"_s);
    }

    void init()
    {
        // Any warning from the pages (a failed binding, a type error) is a failure.
        QTest::failOnWarning(QRegularExpression(u"qrc:/qt/qml/Vexlo/"_s));
        m_screens = std::make_unique<ScreenEngine>();
    }

    void cleanup() { m_screens.reset(); }

    // The greeting follows the hour; each section shows what the payload holds, up to its own length.
    void discover_data()
    {
        QTest::addColumn<int>("hour");
        QTest::addColumn<QString>("greeting");
        QTest::addColumn<int>("featured"); // how many of each list the payload keeps
        QTest::addColumn<int>("top");
        QTest::addColumn<int>("wallpapers");
        QTest::newRow("midnight, full payload") << 0 << u"深夜好"_s << 3 << 7 << 6;
        QTest::newRow("5:59, one featured, short lists") << 5 << u"深夜好"_s << 1 << 3 << 2;
        QTest::newRow("6:00, empty lists") << 6 << u"早上好"_s << 0 << 0 << 0;
        QTest::newRow("12:00") << 12 << u"下午好"_s << 3 << 7 << 6;
        QTest::newRow("18:00") << 18 << u"晚上好"_s << 3 << 7 << 6;
    }

    void discover()
    {
        QFETCH(int, hour);
        QFETCH(QString, greeting);
        QFETCH(int, featured);
        QFETCH(int, top);
        QFETCH(int, wallpapers);
        m_screens->store.setHome(homeFixture([&](QJsonObject &json) {
            json.remove(u"member"_s);
            json[u"featured"_s] = firstOf(json[u"featured"_s].toArray(), featured);
            json[u"top"_s] = firstOf(json[u"top"_s].toArray(), top);
            json[u"wallpapers"_s] = firstOf(json[u"wallpapers"_s].toArray(), wallpapers);
        }));
        auto page = load(u"Catalog/DiscoverView.qml"_s, {{u"hour"_s, hour}});
        QCOMPARE(text(only(page.get(), u"discoverHeader"_s), u"pageTitle"_s), greeting + u"，今天值得装点什么"_s);
        QCOMPARE(text(page.get(), u"discoverStats"_s), u"共收录 128 款应用 · 累计 12.3 万 次下载 · 36 组壁纸"_s);
        QCOMPARE(shown(page.get(), u"heroCard"_s), featured > 0);
        if (featured > 0)
            QCOMPARE(text(page.get(), u"heroName"_s), u"Notely"_s);
        QCOMPARE(all(page.get(), u"appCard"_s).size(), std::max(0, featured - 1));
        QCOMPARE(shown(page.get(), u"staffPicksSection"_s), featured > 1);
        const auto rows = all(page.get(), u"rankRow"_s);
        QCOMPARE(rows.size(), std::min(top, 5));
        for (int i = 0; i < rows.size(); ++i)
            QCOMPARE(rows[i]->property("index").toInt(), i + 1);
        QCOMPARE(all(page.get(), u"wallpaperTile"_s).size(), std::min(wallpapers, 4));
    }

    void starRowShowsHalves_data()
    {
        QTest::addColumn<double>("rating");
        QTest::addColumn<QStringList>("stars"); // the row's name is the number shown beside them
        const QString f = u"star.fill"_s, h = u"star.leadinghalf.filled"_s, e = u"star"_s;
        QTest::newRow("3.0") << 3.0 << QStringList{f, f, f, e, e};
        QTest::newRow("3.5") << 3.5 << QStringList{f, f, f, h, e};
        QTest::newRow("3.6") << 3.6 << QStringList{f, f, f, f, e};
        QTest::newRow("0.3") << 0.3 << QStringList{h, e, e, e, e};
        QTest::newRow("5.0") << 5.0 << QStringList{f, f, f, f, f};
    }

    void starRowShowsHalves()
    {
        QFETCH(double, rating);
        QFETCH(QStringList, stars);
        auto row = load(u"Components/StarRow.qml"_s, {{u"rating"_s, rating}, {u"showNumber"_s, true}});
        for (int i = 0; i < 5; ++i) {
            const auto star = all(row.get(), u"star%1"_s.arg(i));
            QCOMPARE(star.size(), 1);
            QCOMPARE(star.first()->property("name").toString(), stars[i]);
            QVERIFY(star.first()->property("known").toBool());
        }
        QCOMPARE(text(row.get(), u"starNumber"_s), QString::fromLatin1(QTest::currentDataTag()));
    }

    void sponsorStripOffersOnePlan_data()
    {
        QTest::addColumn<QStringList>("slugs");
        QTest::addColumn<QString>("label");
        QTest::newRow("yearly among others")
            << QStringList{u"monthly"_s, u"yearly"_s, u"forever"_s} << u"¥128 / 年 · 立即赞助"_s;
        QTest::newRow("no yearly: first plan") << QStringList{u"monthly"_s, u"forever"_s} << u"¥18 / 月 · 立即赞助"_s;
        QTest::newRow("no plans") << QStringList{} << QString();
    }

    void sponsorStripOffersOnePlan()
    {
        QFETCH(QStringList, slugs);
        QFETCH(QString, label);
        QVariantList plans;
        for (const QJsonValue &plan : m_home[u"plans"_s].toArray()) {
            if (slugs.contains(plan[u"slug"_s].toString()))
                plans.append(QVariant::fromValue(decode<StorePlan>(plan)));
        }
        auto strip = load(u"Catalog/SponsorStrip.qml"_s, {{u"plans"_s, plans}});
        QCOMPARE(press(strip.get(), u"sponsorPlanButton"_s), !label.isEmpty());
        if (!label.isEmpty()) {
            QCOMPARE(text(strip.get(), u"sponsorPlanButton"_s), label);
            QVERIFY(m_screens->store.showCheckout() && !m_screens->store.checkout());
        }
        QVERIFY(press(strip.get(), u"sponsorAllPlansButton"_s));
        QCOMPARE(m_screens->store.section(), Store::Section::member);
    }

    void unknownSymbolsDrawTheFallback()
    {
        const char16_t fallback = Symbols::codePoint(u"app.dashed"_s);
        QCOMPARE(Symbols::codePoint(u"no.such.symbol"_s), fallback);
        QCOMPARE(Symbols::codePoint(QString()), fallback);
        QVERIFY(Symbols::codePoint(u"star"_s) != fallback);

        // A record glyph the glyph map does not know (the lookup is exact; a symbol name is no glyph) ends as the
        // fallback icon.
        QCOMPARE(GlyphMap::symbol(u"network"_s), u"app.dashed"_s);
        auto icon = load(u"Components/AppIconView.qml"_s,
                         {{u"glyph"_s, u"App"_s}, {u"accent"_s, u"#0A84FF"_s}, {u"accent2"_s, u"#5E5CE6"_s}});
        QObject *symbol = one(icon.get(), u"appIconSymbol"_s);
        QVERIFY(symbol);
        QCOMPARE(symbol->property("name").toString(), u"app.dashed"_s);
        QCOMPARE(symbol->property("text").toString(), QString(QChar(fallback)));
        icon->setProperty("glyph", u"terminal"_s);
        QCOMPARE(symbol->property("text").toString(), QString(QChar(Symbols::codePoint(u"terminal"_s))));
    }

    // Every symbol a record glyph maps to is one of the symbols, and each is drawn by the built-in icon font.
    void everySymbolExistsInTheBuiltInIconFont()
    {
        for (const QString &symbol : GlyphMap::symbols())
            QVERIFY2(Symbols::contains(symbol), qPrintable(symbol));
        QRawFont font(Symbols::fontFile(), 16);
        QCOMPARE(font.familyName(), Symbols::family());
        for (const QString &name : Symbols::names())
            QVERIFY2(font.supportsCharacter(QChar(Symbols::codePoint(name))), qPrintable(name));
        // What the pages draw under that family is this copy, not one the system has installed.
        QFont drawn(Symbols::family());
        drawn.setPixelSize(16);
        QCOMPARE(QRawFont::fromFont(drawn).fontTable("head"), font.fontTable("head"));
    }

    void categoryPageShowsOverviewOrSelection_data()
    {
        QTest::addColumn<QString>("selected");
        QTest::addColumn<int>("tiles"); // none: the selected category's page
        QTest::newRow("none selected") << QString() << 2;
        QTest::newRow("slug not in payload") << u"gone"_s << 2;
        QTest::newRow("selected") << u"dev"_s << 0;
    }

    void categoryPageShowsOverviewOrSelection()
    {
        QFETCH(QString, selected);
        QFETCH(int, tiles);
        m_screens->store.setHome(homeFixture());
        m_screens->store.setSection(Store::Section::categories);
        if (!selected.isEmpty())
            m_screens->store.setSelectedCategory(selected);
        auto page = load(u"Catalog/CategoryView.qml"_s);
        QCOMPARE(text(page.get(), u"pageTitle"_s), tiles ? u"按用途浏览"_s : u"开发"_s);
        const auto found = all(page.get(), u"categoryTile"_s, true);
        QCOMPARE(found.size(), tiles);
        // The page loads the selected slug's list even while it shows the overview.
        QCOMPARE(page->property("loader").value<QObject *>()->property("category").toString(), selected);
        if (tiles > 0) {
            QMetaObject::invokeMethod(found.last(), "clicked");
            QCOMPARE(m_screens->store.selectedCategory().value_or(QString()), u"dev"_s);
            QCOMPARE(m_screens->store.section(), Store::Section::categories);
            QCOMPARE(text(page.get(), u"pageTitle"_s), u"开发"_s);
        }
    }

    void categoryLoadsKeepOnlyTheLatestSelection()
    {
        ScriptedServer service;
        Endpoint::setBase(service.base());
        // Each category's list holds one app named after it; "slow" answers late, "broken" fails.
        const auto path = [](const QString &category) { return StoreAPI::categoryPath(category).toUtf8(); };
        for (const auto &[category, delayMs] : {std::pair{u"slow"_s, 400}, std::pair{u"fast"_s, 0}}) {
            QJsonObject app = readJson(u"app.json"_s).value(u"apps"_s).toArray().first().toObject();
            app[u"slug"_s] = category + u"-app"_s;
            service.script(
                "GET", path(category),
                json({{u"total"_s, 1}, {u"page"_s, 1}, {u"pages"_s, 1}, {u"apps"_s, QJsonArray{app}}}, delayMs));
        }
        service.script("GET", path(u"broken"_s), status(500, R"({"error":"坏了"})"));
        CategoryLoader loader;

        loader.setCategory(u"slow"_s);
        QVERIFY(loader.loading());
        loader.setCategory(u"fast"_s);
        QTRY_VERIFY(!loader.loading());
        QTest::qWait(600); // the superseded reply arrives and must be dropped
        QCOMPARE(service.requests.size(), 2);
        QCOMPARE(loader.apps().size(), 1);
        QCOMPARE(loader.apps().first().value<StoreApp>().slug, u"fast-app"_s);
        QVERIFY(!loader.loading());

        loader.setCategory(u"broken"_s);
        QTRY_VERIFY(!loader.loading());
        QVERIFY(loader.apps().isEmpty());

        loader.setCategory(u"fast"_s);
        QTRY_COMPARE(loader.apps().size(), 1);
        loader.setCategory(QString());
        QVERIFY(loader.apps().isEmpty());
        QVERIFY(!loader.loading());
    }

    // A failed load (the category's list, a search) says so under the header and offers 重试, which loads it
    // again; a list that loaded fine but holds nothing stays an empty grid without the failure. The apps a search
    // finds show under their count.
    void loadFailureOffersRetry_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<bool>("failsFirst");
        QTest::addColumn<int>("apps");
        QTest::newRow("category fails, then loads") << u"category"_s << true << 1;
        QTest::newRow("category loads empty") << u"category"_s << false << 0;
        QTest::newRow("search fails, then finds") << u"search"_s << true << 1;
    }

    void loadFailureOffersRetry()
    {
        QFETCH(QString, page);
        QFETCH(bool, failsFirst);
        QFETCH(int, apps);
        const bool search = page == u"search"_s;
        ScriptedServer service;
        Endpoint::setBase(service.base());
        const QJsonArray list = firstOf(readJson(u"app.json"_s).value(u"apps"_s).toArray(), apps);
        QList<ScriptedReply> replies{
            json(search ? QJsonObject{{u"apps"_s, list}, {u"other"_s, QJsonArray{}}}
                        : QJsonObject{{u"total"_s, apps}, {u"page"_s, 1}, {u"pages"_s, 1}, {u"apps"_s, list}})};
        if (failsFirst)
            replies.prepend(search ? status(503) : status(500, R"({"error":"坏了"})"));
        Store &store = m_screens->store;
        store.setHome(homeFixture());
        std::unique_ptr<QObject> view;
        QObject *loader = nullptr;
        if (search) {
            service.script("GET", "/api/store/search?q=mac", replies);
            store.setSearchText(u"mac"_s);
            QCoro::waitFor(store.runSearchTask(u"mac"_s));
            view = load(u"Catalog/SearchView.qml"_s);
        } else {
            service.script("GET", StoreAPI::categoryPath(u"dev"_s).toUtf8(), replies);
            store.setSection(Store::Section::categories);
            store.setSelectedCategory(u"dev"_s);
            view = load(u"Catalog/CategoryView.qml"_s);
            loader = view->property("loader").value<QObject *>();
        }
        const auto busy = [&] { return search ? store.searchBusy() : loader->property("loading").toBool(); };
        QTRY_VERIFY(!busy());

        const QString failure = search ? u"searchFailure"_s : u"categoryFailure"_s;
        QCOMPARE(shown(view.get(), failure), failsFirst);
        if (failsFirst) {
            QCOMPARE(text(one(view.get(), failure), u"emptyTitle"_s), search ? u"搜索失败"_s : u"加载失败"_s);
            if (search) // the reason, not "failed" once more
                QCOMPARE(text(one(view.get(), failure), u"emptyHint"_s), u"服务器返回 503"_s);
            QVERIFY(!shown(view.get(), u"searchEmpty"_s));
            QVERIFY(all(view.get(), u"appCard"_s, true).isEmpty());
            QVERIFY(press(view.get(), search ? u"failureRetry"_s : u"categoryRetry"_s));
            QTRY_VERIFY(!busy() && !shown(view.get(), failure));
        }
        QTRY_COMPARE(all(view.get(), u"appCard"_s, true).size(), apps);
        QCOMPARE(text(view.get(), u"pageSubtitle"_s), search ? u"1 款软件"_s : u"17 款应用 · 全部经过实机测试"_s);
        if (search) // apps found and no other hits: neither the empty text nor their section
            QVERIFY(!shown(view.get(), u"searchEmpty"_s) && !shown(view.get(), u"searchOtherSection"_s));
        QCOMPARE(service.requests.size(), failsFirst ? 2 : 1);
    }

    // Without apps the results say so; the other hits (a wallpaper, an article) get their own section. (Apps
    // found: loadFailureOffersRetry's search.)
    void searchPageShowsOtherHits()
    {
        const QJsonArray others{QJsonObject{{u"type"_s, u"wall"_s}, {u"slug"_s, u"dune"_s}, {u"title"_s, u"沙丘"_s}},
                                QJsonObject{{u"type"_s, u"post"_s},
                                            {u"slug"_s, u"backup"_s},
                                            {u"title"_s, u"备份"_s},
                                            {u"sub"_s, u"三二一法则"_s}}};
        m_screens->store.setSearchText(u"笔记"_s);
        m_screens->store.setSearchResults(
            decode<SearchResult>(QJsonObject{{u"apps"_s, QJsonArray{}}, {u"other"_s, others}}));
        auto page = load(u"Catalog/SearchView.qml"_s);
        QCOMPARE(text(page.get(), u"pageTitle"_s), u"「笔记」的结果"_s);
        QCOMPARE(text(page.get(), u"pageSubtitle"_s), u"0 款软件"_s);
        QVERIFY(shown(page.get(), u"searchEmpty"_s));
        QVERIFY(all(page.get(), u"appCard"_s).isEmpty());
        QVERIFY(shown(page.get(), u"searchOtherSection"_s));
        QCOMPARE(all(page.get(), u"searchOtherRow"_s).size(), 2);
    }

    // The chart and the latest apps show the payload's lists. The installed page's rows come from the
    // downloaded-apps model (its order is store_list_models'); none: the empty state.
    void listPagesShowTheirLists()
    {
        m_screens->store.setHome(homeFixture());
        auto chart = load(u"Catalog/TopChartView.qml"_s);
        QCOMPARE(all(chart.get(), u"rankRow"_s).size(), 7);
        QCOMPARE(all(chart.get(), u"appCard"_s).size(), 4);
        auto latest = load(u"Catalog/LatestView.qml"_s);
        QCOMPARE(all(latest.get(), u"appCard"_s).size(), 4);

        auto installed = load(u"Catalog/InstalledView.qml"_s);
        QVERIFY(shown(installed.get(), u"installedEmpty"_s));
        const InstalledApp app{u"a"_s, u"A"_s, u"1.0"_s, u"3 MB"_s, QDateTime::currentDateTime(), std::nullopt};
        m_screens->store.setInstalled({{app.slug, app}});
        QVERIFY(!shown(installed.get(), u"installedEmpty"_s));
        QCOMPARE(all(installed.get(), u"installedRow"_s).size(), 1);
    }
};

QTEST_MAIN(PagesTest)
#include "tst_pages.moc"
