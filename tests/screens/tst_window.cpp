// The store window's chrome over a Store in a prepared state: the pages the router shows, what the sidebar
// lists, the footer and account texts, the search field's clearing rule and the menu commands.
#include "screens/window/DeepLinks.h"
#include "service/CatalogRecords.h"
#include "service/Endpoint.h"
#include "store/HomeCache.h"
#include "store/Store.h"

#include <QJsonArray>
#include <QQuickItem>
#include <QQuickWindow>
#include <QtTest>

#include "Fixtures.h"
#include "ItemQuery.h"
#include "ScreenEngine.h"

#include "vexlo_qml_plugins.h"

using namespace Qt::StringLiterals;
using namespace ItemQuery;

class WindowTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ScreenEngine> m_screens;
    std::unique_ptr<QQuickWindow> m_window;

    static StoreDetail someDetail() { return decode<StoreDetail>(readJson(u"window-detail.json"_s)); }

    std::unique_ptr<QQuickItem> load(const QString &file)
    {
        return m_screens->load<QQuickItem>(file, {{u"width"_s, 980}, {u"height"_s, 640}});
    }

    // The app's window, not yet shown; returns its content.
    QQuickItem *storeWindow()
    {
        m_window = m_screens->storeWindow();
        return qobject_cast<QQuickItem *>(one(m_window->contentItem(), u"storeWindow"_s));
    }

    // The same, shown and active, after its first load failed: nobody answers on the test's port.
    QQuickItem *shownStoreWindow()
    {
        QQuickItem *content = storeWindow();
        if (!content)
            return nullptr;
        m_window->show();
        if (!QTest::qWaitFor([&] { return !m_screens->store.loading() && m_screens->store.error().has_value(); }))
            return nullptr;
        m_window->requestActivate();
        return QTest::qWaitForWindowActive(m_window.get()) ? content : nullptr;
    }

private Q_SLOTS:
    void initTestCase()
    {
        // Nothing may reach a real service: every request goes to a port where nobody listens.
        Endpoint::setBase(u"http://127.0.0.1:9"_s);
    }

    // Each test starts from a fresh Store.
    void init() { m_screens = std::make_unique<ScreenEngine>(); }
    void cleanup()
    {
        m_window.reset();
        m_screens.reset();
    }

    // What the router's own states draw: the error state with message and retry, the loading text.
    void routerStates()
    {
        auto router = load(u"Window/DetailRouter.qml"_s);
        m_screens->store.setError(u"请求失败（500）"_s);
        auto *page = router->property("currentPage").value<QQuickItem *>();
        QVERIFY(page);
        QCOMPARE(page->objectName(), u"errorState"_s);
        QCOMPARE(text(page, u"errorMessage"_s), u"请求失败（500）"_s);
        QCOMPARE(text(page, u"errorAddress"_s), u"http://127.0.0.1:9"_s);
        // A new address (恢复默认 in the settings) shows at once, before any retry.
        Endpoint::setBase(Endpoint::defaultBase());
        QCOMPARE(text(page, u"errorAddress"_s), Endpoint::defaultBase());
        Endpoint::setBase(u"http://127.0.0.1:9"_s);

        // Retry starts a home load.
        QVERIFY(press(page, u"retryButton"_s));
        QVERIFY(m_screens->store.loading());
        page = router->property("currentPage").value<QQuickItem *>();
        QCOMPARE(page->objectName(), u"storeLoading"_s);
        QTRY_VERIFY(!m_screens->store.loading());
    }

    // Each section routes to its page once the home payload is there.
    void routerSections_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("page");
        QTest::newRow("top") << u"top"_s << u"topChartView"_s;
        QTest::newRow("latest") << u"latest"_s << u"latestView"_s;
        QTest::newRow("categories") << u"categories"_s << u"categoryView"_s;
        QTest::newRow("installed") << u"installed"_s << u"installedView"_s;
    }

    void routerSections()
    {
        QFETCH(QString, section);
        QFETCH(QString, page);
        auto router = load(u"Window/DetailRouter.qml"_s);
        m_screens->store.setHome(homeFixture());
        m_screens->store.setSection(*Store::sectionFromKey(section));
        auto *item = router->property("currentPage").value<QQuickItem *>();
        QVERIFY(item);
        QCOMPARE(item->objectName(), page);
    }

    // The groups under billing on and off, before and after the home payload.
    void sidebarGroups_data()
    {
        QTest::addColumn<QJsonValue>("billing"); // undefined: no home payload yet
        QTest::addColumn<bool>("memberRow");
        QTest::newRow("before the first load") << QJsonValue(QJsonValue::Undefined) << true;
        QTest::newRow("billing on") << QJsonValue(true) << true;
        QTest::newRow("billing off") << QJsonValue(false) << false;
    }

    void sidebarGroups()
    {
        QFETCH(QJsonValue, billing);
        QFETCH(bool, memberRow);
        auto sidebar = load(u"Window/SidebarView.qml"_s);
        const bool loaded = !billing.isUndefined(); // the categories come with the payload
        if (loaded)
            m_screens->store.setHome(homeFixture([&](QJsonObject &home) { home[u"billingEnabled"_s] = billing; }));
        for (const QString &row : {u"row_device"_s, u"row_softwareManager"_s, u"row_discover"_s, u"row_top"_s,
                                   u"row_latest"_s, u"row_installed"_s, u"row_wallpapers"_s})
            QVERIFY2(shown(sidebar.get(), row), qPrintable(row));
        QCOMPARE(shown(sidebar.get(), u"row_member"_s), memberRow);
        QCOMPARE(shown(sidebar.get(), u"sidebarFooter"_s), memberRow);
        QCOMPARE(shown(sidebar.get(), u"group_categories"_s), loaded);
        QCOMPARE(shown(sidebar.get(), u"category_dev"_s), loaded);
    }

    // Rows map onto the section; any section but categories forgets the category; the detail stays open.
    void sidebarSelection()
    {
        auto sidebar = load(u"Window/SidebarView.qml"_s);
        m_screens->store.setHome(homeFixture());
        m_screens->store.setDetail(someDetail());

        QVERIFY(press(sidebar.get(), u"category_dev"_s));
        QCOMPARE(m_screens->store.section(), Store::Section::categories);
        QCOMPARE(m_screens->store.selectedCategory(), std::optional<QString>(u"dev"_s));
        QVERIFY(one(sidebar.get(), u"category_dev"_s)->property("selected").toBool());
        QVERIFY(!one(sidebar.get(), u"row_top"_s)->property("selected").toBool());

        QVERIFY(press(sidebar.get(), u"row_top"_s));
        QCOMPARE(m_screens->store.section(), Store::Section::top);
        QCOMPARE(m_screens->store.selectedCategory(), std::nullopt);
        QVERIFY(one(sidebar.get(), u"row_top"_s)->property("selected").toBool());
        QVERIFY(!one(sidebar.get(), u"category_dev"_s)->property("selected").toBool());
        QVERIFY(m_screens->store.detail().has_value());
    }

    // A detail opened from the results shows in front of them and 返回 brings them back; results of a newer
    // search come in front of the detail; a wallpaper hit shows the wallpapers page. Edits keep the results (or a
    // failure); emptying the field removes them, so the detail comes back. Each step, then the route.
    void resultsAndDetailTakeTurns_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("routes");
        QTest::newRow("result pressed, then back") << QStringList{u"search"_s, u"open detail"_s, u"back"_s}
                                                   << QStringList{u"search"_s, u"detail"_s, u"search"_s};
        QTest::newRow("newer search over the detail") << QStringList{u"search"_s, u"open detail"_s, u"search"_s}
                                                      << QStringList{u"search"_s, u"detail"_s, u"search"_s};
        QTest::newRow("wallpaper hit") << QStringList{u"search"_s, u"press wallpaper hit"_s}
                                       << QStringList{u"search"_s, u"wallpapers"_s};
        QTest::newRow("edited, then emptied") << QStringList{u"open detail"_s, u"search"_s, u"edit"_s, u"clear"_s}
                                              << QStringList{u"detail"_s, u"search"_s, u"search"_s, u"detail"_s};
        QTest::newRow("failed, then emptied") << QStringList{u"open detail"_s, u"fail"_s, u"clear"_s}
                                              << QStringList{u"detail"_s, u"search"_s, u"detail"_s};
    }

    void resultsAndDetailTakeTurns()
    {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, routes);
        auto window = load(u"Window/StoreWindow.qml"_s);
        auto *router = one(window.get(), u"detailRouter"_s);
        Store &s = m_screens->store;
        s.setHome(homeFixture());
        // Each search brings different results: one wallpaper hit named after the step.
        const auto results = [](qsizetype step) {
            const QJsonObject hit{
                {u"type"_s, u"wall"_s}, {u"slug"_s, u"dunes"_s}, {u"title"_s, u"沙丘 %1"_s.arg(step)}};
            return decode<SearchResult>(QJsonObject{{u"apps"_s, QJsonArray{}}, {u"other"_s, QJsonArray{hit}}});
        };
        for (qsizetype i = 0; i < steps.size(); ++i) {
            const QString &step = steps.at(i);
            if (step == u"search"_s || step == u"fail"_s)
                s.setSearchText(u"壁纸"_s);
            if (step == u"search"_s)
                s.setSearchResults(results(i));
            else if (step == u"fail"_s)
                s.setSearchError(u"请求超时"_s);
            else if (step == u"edit"_s)
                s.setSearchText(u"壁"_s);
            else if (step == u"open detail"_s)
                s.setDetail(someDetail()); // what pressing an app on the results page leads to
            else if (step == u"back"_s)
                QVERIFY(press(window.get(), u"backButton"_s));
            else if (step == u"press wallpaper hit"_s)
                QVERIFY(press(router->property("currentPage").value<QObject *>(), u"searchOtherRow"_s));
            else if (step == u"clear"_s)
                QVERIFY(press(window.get(), u"searchClear"_s));
            QCOMPARE(router->property("route").toString(), routes.at(i));
        }
        if (steps.contains(u"edit"_s) || steps.contains(u"fail"_s)) // emptied: results and failure gone
            QVERIFY(s.searchText().isEmpty() && !s.searchResults() && s.searchError().isEmpty());
    }

    // The links handed to the window: a section link closes an open detail.
    void links()
    {
        auto window = load(u"Window/StoreWindow.qml"_s);
        m_screens->store.setHome(homeFixture());
        m_screens->store.setDetail(someDetail());
        DeepLinks::instance()->open(QUrl(u"vexlink://shop/latest"_s)); // no such target: nothing changes
        QVERIFY(m_screens->store.detail().has_value());
        DeepLinks::instance()->open(QUrl(u"vexlink://section/wallpapers"_s));
        QCOMPARE(m_screens->store.section(), Store::Section::wallpapers);
        QVERIFY(!m_screens->store.detail().has_value());
        // An app link opens the detail: the load starts at once (and fails here, with a toast).
        DeepLinks::instance()->open(QUrl(u"vexlink://app/muse-chat"_s));
        QVERIFY(m_screens->store.detailLoading());
        QTRY_VERIFY(!m_screens->store.detailLoading());
        QVERIFY(m_screens->store.toast().has_value());
    }

    // The home payload loads when the window first appears, and only then; the sheets follow their flags.
    void firstShowAndSheets()
    {
        QQuickItem *content = storeWindow();
        QVERIFY(content);
        QQuickWindow &window = *m_window;
        QSignalSpy loads(&m_screens->store, &Store::loadingChanged);
        QTest::qWait(50);
        QCOMPARE(loads.count(), 0);
        window.show();
        QTRY_VERIFY(m_screens->store.error().has_value());
        QVERIFY(!m_screens->store.loading());
        const qsizetype afterFirst = loads.count();
        QVERIFY(afterFirst >= 2);
        window.hide();
        window.show();
        QTest::qWait(50);
        QCOMPARE(loads.count(), afterFirst);

        // The sign-in sheet takes the focus into its first field.
        m_screens->store.setShowLogin(true);
        QTRY_COMPARE(window.activeFocusItem() ? window.activeFocusItem()->objectName() : QString(), u"emailField"_s);
        m_screens->store.setShowLogin(false);

        // Escape (closing the popup by other means) clears the flag too.
        m_screens->store.setShowCheckout(true);
        QObject *checkout = one(content, u"checkoutSheet"_s);
        QTRY_VERIFY(checkout->property("opened").toBool());
        QTRY_VERIFY(window.activeFocusItem() && window.activeFocusItem()->property("visualFocus").toBool());
        QVERIFY(QMetaObject::invokeMethod(checkout, "close"));
        QTRY_VERIFY(!m_screens->store.showCheckout());
    }

    // Offline, a start draws the home page kept from the last visit, says so quietly, and keeps it after the
    // failed load.
    void offlineStartShowsTheLastVisit()
    {
        HomeCache::save(Endpoint::base(), QJsonDocument(readJson(u"home.json"_s)).toJson());
        QQuickItem *content = shownStoreWindow();
        QVERIFY(content);
        QCOMPARE(content->property("pageName").toString(), u"discoverView"_s);
        QVERIFY(one(content, u"lastVisitNote"_s)->property("visible").toBool());
        QVERIFY(m_screens->store.toast().value_or(QString()).startsWith(u"刷新失败："_s));
    }

    // With no store to reach, the device check and the software manager still open from the sidebar. The menu's
    // shortcuts work while the menu is closed: Ctrl+1 closes a detail and shows discover, Ctrl+R starts a home
    // load; F10 opens it.
    void localPagesAndMenuShortcuts()
    {
        QQuickItem *content = shownStoreWindow();
        QVERIFY(content);
        QCOMPARE(content->property("pageName").toString(), u"errorState"_s);
        QVERIFY(press(content, u"row_device"_s));
        QCOMPARE(content->property("pageName").toString(), u"deviceView"_s);
        QVERIFY(press(content, u"row_softwareManager"_s));
        QCOMPARE(content->property("pageName").toString(), u"softwareManagerView"_s);
        QVERIFY(press(content, u"row_discover"_s));
        QCOMPARE(content->property("pageName").toString(), u"errorState"_s);
        QQuickWindow *window = m_window.get();
        m_screens->store.setHome(homeFixture());
        m_screens->store.setSection(Store::Section::top);
        m_screens->store.setDetail(someDetail());
        QTest::keyClick(window, Qt::Key_1, Qt::ControlModifier);
        QVERIFY(!m_screens->store.detail().has_value());
        QCOMPARE(m_screens->store.section(), Store::Section::discover);

        // The refresh symbol turns while the store loads; a failed reload keeps the page and says so.
        QObject *symbol = one(window->contentItem(), u"refreshSymbol"_s);
        QVERIFY(symbol);
        m_screens->store.setLoading(true);
        QTRY_VERIFY(symbol->property("rotation").toReal() > 0);
        m_screens->store.setLoading(false);
        QSignalSpy loads(&m_screens->store, &Store::loadingChanged);
        QTest::keyClick(window, Qt::Key_R, Qt::ControlModifier);
        QVERIFY(loads.count() >= 1);
        QTRY_VERIFY(!m_screens->store.loading());
        QVERIFY(m_screens->store.home().has_value());
        QCOMPARE(m_screens->store.toast().value_or(QString()), u"刷新失败：无法连接服务器"_s);
        QCOMPARE(content->property("pageName").toString(), u"discoverView"_s);

        // F10 opens the menu from the toolbar, which takes none of the content's height.
        QObject *menu = one(window->contentItem(), u"storeMenu"_s);
        QVERIFY(menu);
        QTest::keyClick(window, Qt::Key_F10);
        QTRY_VERIFY(menu->property("opened").toBool());
        QTest::keyClick(window, Qt::Key_Escape);
        QTRY_VERIFY(!menu->property("visible").toBool());
        QCOMPARE(content->height(), qreal(window->height()));
    }

    // Tab alone reaches every sidebar row and the page's main action, each shown with the focus ring; the arrow
    // keys move within the sidebar. Pressing a control that opens a sheet or starts work leaves the ring on it
    // once the sheet closes or the work ends.
    void keyboardReachesEveryControl_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("action"); // object name or text
        QTest::addColumn<QString>("pressed"); // pressed by Space afterwards
        QTest::addColumn<QString>("sheet"); // the sheet it opens, closed by Escape; empty: none
        QTest::newRow("discover") << u"discover"_s << u"heroCard"_s << u"accountChip"_s << u"loginSheet"_s;
        QTest::newRow("member") << u"member"_s << u"planButton"_s << u"planButton"_s << u"checkoutSheet"_s;
        QTest::newRow("device") << u"device"_s << u"网页版体检"_s << u"重新检测"_s << QString(); // the last, far below
        QTest::newRow("software") << u"softwareManager"_s << u"rescanButton"_s << QString() << QString();
    }

    void keyboardReachesEveryControl()
    {
        QFETCH(QString, section);
        QFETCH(QString, action);
        QFETCH(QString, pressed);
        QFETCH(QString, sheet);
        QVERIFY(shownStoreWindow());
        QQuickWindow *window = m_window.get();
        m_screens->store.setHome(homeFixture());
        m_screens->store.setSection(*Store::sectionFromKey(section));
        if (section == u"device"_s)
            QTRY_VERIFY_WITH_TIMEOUT(one(window->contentItem(), u"deviceView"_s)->property("finished").toBool(), 30000);
        if (section == u"softwareManager"_s)
            QTRY_VERIFY_WITH_TIMEOUT(!one(window->contentItem(), u"softwareApps"_s)->property("scanning").toBool(),
                                     30000);

        QSet<QString> wanted{action};
        const std::function<void(QQuickItem *)> rows = [&](QQuickItem *item) {
            const QString name = item->objectName();
            if (item->isVisible() && (name.startsWith(u"row_"_s) || name.startsWith(u"category_"_s)))
                wanted.insert(name);
            for (QQuickItem *child : item->childItems())
                rows(child);
        };
        rows(window->contentItem());
        QVERIFY(wanted.contains(u"row_device"_s) && wanted.contains(u"category_dev"_s));

        auto *ring = qobject_cast<QQuickItem *>(one(window->contentItem(), u"focusRingShape"_s));
        QVERIFY(ring);
        const auto ringAround = [ring](QQuickItem *item) {
            const QPointF centre = item->mapToItem(ring->parentItem(), item->boundingRect().center());
            return ring->isVisible() && QRectF(ring->position(), ring->size()).contains(centre);
        };
        wanted.insert(u"storeMenuButton"_s);
        if (!pressed.isEmpty())
            wanted.insert(pressed);
        QHash<QString, QQuickItem *> reached;
        for (int i = 0; i < 300 && !wanted.isEmpty(); ++i) {
            QTest::keyClick(window, Qt::Key_Tab);
            QQuickItem *focused = window->activeFocusItem();
            QVERIFY(focused);
            // Whatever the keyboard reaches is scrolled into the window.
            QTRY_VERIFY2(
                QRectF(QPointF(), window->size()).contains(focused->mapToScene(focused->boundingRect().center())),
                qPrintable(focused->objectName() + focused->property("text").toString()));
            const QString key =
                wanted.contains(focused->objectName()) ? focused->objectName() : focused->property("text").toString();
            if (!wanted.remove(key))
                continue;
            reached.insert(key, focused);
            QTRY_VERIFY2(ringAround(focused), qPrintable(key));
            if (key == u"row_device"_s) {
                QTest::keyClick(window, Qt::Key_Down);
                QCOMPARE(window->activeFocusItem()->objectName(), u"row_softwareManager"_s);
                QTest::keyClick(window, Qt::Key_Up);
                QCOMPARE(window->activeFocusItem(), focused);
            }
        }
        QVERIFY2(wanted.isEmpty(), qPrintable(QStringList(wanted.values()).join(u", "_s)));
        if (pressed.isEmpty())
            return;

        QQuickItem *control = reached.value(pressed);
        if (sheet == u"loginSheet"_s) // signed out, the account chip asks for sign-in
            m_screens->store.setHome(homeFixture([](QJsonObject &home) { home.remove(u"member"_s); }));
        control->forceActiveFocus(Qt::TabFocusReason);
        QTRY_VERIFY(ringAround(control));
        QTest::keyClick(window, Qt::Key_Space);
        if (sheet.isEmpty()) { // the work disables the control for a while
            QVERIFY(window->activeFocusItem() != control);
            QTRY_VERIFY_WITH_TIMEOUT(one(window->contentItem(), u"deviceView"_s)->property("finished").toBool(), 30000);
        } else {
            QObject *host = one(window->contentItem(), sheet);
            QTRY_VERIFY(host->property("opened").toBool());
            QVERIFY(window->activeFocusItem() != control);
            QTest::keyClick(window, Qt::Key_Escape);
            QTRY_VERIFY(!host->property("visible").toBool());
        }
        QTRY_COMPARE(window->activeFocusItem(), control);
        QTRY_VERIFY(ringAround(control));
    }

    // The toast capsule shows the store's message and keeps the text while it leaves.
    void toast()
    {
        auto overlay = load(u"Window/ToastOverlay.qml"_s);
        m_screens->store.showToast(u"已复制提取码"_s);
        QVERIFY(overlay->property("showing").toBool());
        m_screens->store.showToast(u"第二条"_s);
        QCOMPARE(text(overlay.get(), u"toastText"_s), u"第二条"_s);
        QTRY_VERIFY_WITH_TIMEOUT(!overlay->property("showing").toBool(), 5000);
        QCOMPARE(text(overlay.get(), u"toastText"_s), u"第二条"_s);
        QTRY_VERIFY(!one(overlay.get(), u"toastCapsule"_s)->property("visible").toBool());
    }
};

QTEST_MAIN(WindowTest)
#include "tst_window.moc"
