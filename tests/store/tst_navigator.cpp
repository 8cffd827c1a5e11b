// The Navigator: the page each state routes to, and what it keeps besides the Store's values.
#include "Fixtures.h"
#include "StoreJson.h"

#include "store/Navigator.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A state from the names of the facts that hold ("results detail home"), on `section`.
Navigator::RouteState stateOf(const QString &facts, const QString &section)
{
    const QStringList holds = facts.split(u' ', Qt::SkipEmptyParts);
    const auto has = [&](const char16_t *fact) { return holds.contains(QString::fromUtf16(fact)); };
    return {.results = has(u"results"),
            .detailOverResults = has(u"detailOverResults"),
            .detail = has(u"detail"),
            .detailLoading = has(u"detailLoading"),
            .detailLeft = has(u"detailLeft"),
            .section = Store::sectionFromKey(section).value_or(Store::Section::discover),
            .storeLoading = has(u"storeLoading"),
            .storeError = has(u"storeError"),
            .home = has(u"home")};
}

} // namespace

class TestNavigator : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void route_data()
    {
        QTest::addColumn<QString>("facts");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("page");
        const auto row = [](const char *name, const QString &facts, const QString &section, const QString &page) {
            QTest::newRow(name) << facts << section << page;
        };
        row("results over everything", u"results detail detailLoading storeLoading storeError home"_s, u"top"_s,
            u"search"_s);
        row("detail opened from the results", u"results detailOverResults detail home"_s, u"top"_s, u"detail"_s);
        row("results in front once their detail closes", u"results detailOverResults home"_s, u"top"_s, u"search"_s);
        row("detail loading over store loading", u"detailLoading storeLoading"_s, u"top"_s, u"detailLoading"_s);
        row("section chosen while the detail loads", u"detailLoading detailLeft home"_s, u"top"_s, u"top"_s);
        row("detail loading in front of the device", u"detailLoading"_s, u"device"_s, u"detailLoading"_s);
        row("loading over error", u"storeLoading storeError"_s, u"top"_s, u"loading"_s);
        row("loading with home keeps the page", u"storeLoading home"_s, u"top"_s, u"top"_s);
        row("error without home", u"storeError"_s, u"top"_s, u"error"_s);
        row("error with home keeps the page", u"storeError home"_s, u"latest"_s, u"latest"_s);
        row("nothing yet", QString(), u"discover"_s, u"waiting"_s);
        // The pages that run on this Mac alone wait for no store.
        row("device while the store loads", u"storeLoading"_s, u"device"_s, u"device"_s);
        row("software manager without a store", u"storeError"_s, u"softwareManager"_s, u"softwareManager"_s);
    }

    void route()
    {
        QFETCH(QString, facts);
        QFETCH(QString, section);
        QFETCH(QString, page);
        QCOMPARE(Navigator::route(stateOf(facts, section)), page);
    }

    // A section chosen while a detail loads puts the late detail away. (Results and detail taking turns are
    // driven through the window in screens_window.)
    void sectionChosenWhileTheDetailLoads()
    {
        Store store(nullptr);
        Navigator &nav = store.navigator();
        store.setHome(decode<StoreHome>(fixtures::home(u"Vexlo"_s)));
        store.setDetailLoading(true);
        QCOMPARE(nav.page(), u"detailLoading"_s);
        nav.showSection(u"device"_s);
        QCOMPARE(nav.page(), u"device"_s);
        store.setDetail(decode<StoreDetail>(fixtures::detail(u"alpha"_s)));
        store.setDetailLoading(false);
        QVERIFY(!store.detail());
        QCOMPARE(nav.page(), u"device"_s);
    }
};

QTEST_GUILESS_MAIN(TestNavigator)
#include "tst_navigator.moc"
