// The store window's chrome over a Store in a prepared state: which page the router picks, what the sidebar
// lists, the footer and account texts, the search field's clearing rule and the menu commands.
#include "screens/window/DeepLink.h"
#include "service/CatalogRecords.h"
#include "service/Endpoint.h"
#include "store/Store.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QtQml/qqmlextensionplugin.h>
#include <QtTest>

#include <memory>

#include "Fixtures.h"

#include "vexlo_qml_plugins.h"

using namespace Qt::StringLiterals;

namespace {

// The test home payload, with `changes` laid over its top-level keys (a null value removes the key).
StoreHome homeWith(const QJsonObject &changes = {})
{
    QJsonObject json = readJson(u"home.json"_s);
    for (auto it = changes.begin(); it != changes.end(); ++it) {
        if (it.value().isNull())
            json.remove(it.key());
        else
            json.insert(it.key(), it.value());
    }
    return decode<StoreHome>(json);
}

QJsonObject member(bool sponsorActive, bool forever, int daysLeft)
{
    return QJsonObject{{u"nickname"_s, u"小林"_s},
                       {u"email"_s, u"lin@example.com"_s},
                       {u"role"_s, u"member"_s},
                       {u"sponsorActive"_s, sponsorActive},
                       {u"daysLeft"_s, daysLeft},
                       {u"forever"_s, forever},
                       {u"level"_s, 1},
                       {u"points"_s, 10}};
}

SearchResult someResults()
{
    return decode<SearchResult>(QJsonObject{{u"apps"_s, QJsonArray{}}, {u"other"_s, QJsonArray{}}});
}

StoreDetail someDetail()
{
    return decode<StoreDetail>(readJson(u"window-detail.json"_s));
}

QObject *find(QObject *root, const QString &name)
{
    if (!root)
        return nullptr;
    if (root->objectName() == name)
        return root;
    if (auto *item = qobject_cast<QQuickItem *>(root)) {
        for (QQuickItem *child : item->childItems()) {
            if (QObject *found = find(child, name))
                return found;
        }
    }
    for (QObject *child : root->children()) {
        if (QObject *found = find(child, name))
            return found;
    }
    return nullptr;
}

bool shown(QObject *root, const QString &name)
{
    auto *item = qobject_cast<QQuickItem *>(find(root, name));
    return item && item->isVisible();
}

QString textOf(QObject *root, const QString &name)
{
    QObject *object = find(root, name);
    return object ? object->property("text").toString() : u"<missing %1>"_s.arg(name);
}

void click(QObject *root, const QString &name)
{
    QObject *button = find(root, name);
    QVERIFY2(button, qPrintable(name));
    QVERIFY(QMetaObject::invokeMethod(button, "clicked"));
}

} // namespace

class WindowTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Store> m_store;
    std::unique_ptr<QQmlEngine> m_engine;

    std::unique_ptr<QQuickItem> load(const QString &file)
    {
        QQmlComponent component(m_engine.get(), QUrl(u"qrc:/qt/qml/Vexlo/"_s + file));
        std::unique_ptr<QObject> object(component.create());
        if (!object)
            qWarning().noquote() << component.errorString();
        auto *item = qobject_cast<QQuickItem *>(object.get());
        if (item) {
            object.release();
            item->setSize(QSizeF(980, 640));
        }
        return std::unique_ptr<QQuickItem>(item);
    }

private Q_SLOTS:
    void initTestCase()
    {
        // Nothing may reach a real service: every request goes to a port where nobody listens.
        Endpoint::setBase(u"http://127.0.0.1:9"_s);
        m_store = std::make_unique<Store>(nullptr);
        Store::setInstance(m_store.get());
        m_engine = std::make_unique<QQmlEngine>();
        m_engine->addImportPath(u"qrc:/qt/qml"_s);
    }

    void init()
    {
        Store &s = *m_store;
        s.setHome(std::nullopt);
        s.setLoading(false);
        s.setError(std::nullopt);
        s.setSection(Store::Section::discover);
        s.setSelectedCategory(std::nullopt);
        s.setSearchText(QString());
        s.setSearchResults(std::nullopt);
        s.setDetail(std::nullopt);
        s.setDetailLoading(false);
        s.setShowLogin(false);
        s.setShowCheckout(false);
    }

    void cleanupTestCase()
    {
        m_engine.reset();
        Store::setInstance(nullptr);
    }

    // The first rule that holds wins: search, detail, detail loading, store loading, error, section.
    void routerOrder_data()
    {
        QTest::addColumn<bool>("results");
        QTest::addColumn<QString>("searchText");
        QTest::addColumn<bool>("detail");
        QTest::addColumn<bool>("detailLoading");
        QTest::addColumn<bool>("loading");
        QTest::addColumn<QString>("error");
        QTest::addColumn<bool>("home");
        QTest::addColumn<QString>("route");

        QTest::newRow("search over detail")
            << true << u"abc"_s << true << true << true << u"x"_s << true << u"search"_s;
        QTest::newRow("results without text")
            << true << QString() << true << false << false << QString() << true << u"detail"_s;
        QTest::newRow("text without results")
            << false << u"abc"_s << false << false << false << QString() << true << u"discover"_s;
        QTest::newRow("detail over loading")
            << false << QString() << true << true << true << QString() << false << u"detail"_s;
        QTest::newRow("detail loading over store loading")
            << false << QString() << false << true << true << QString() << false << u"detailLoading"_s;
        QTest::newRow("loading over error")
            << false << QString() << false << false << true << u"加载失败"_s << false << u"loading"_s;
        QTest::newRow("loading with home keeps page")
            << false << QString() << false << false << true << QString() << true << u"discover"_s;
        QTest::newRow("error without home")
            << false << QString() << false << false << false << u"加载失败"_s << false << u"error"_s;
        QTest::newRow("error with home keeps page")
            << false << QString() << false << false << false << u"加载失败"_s << true << u"discover"_s;
        QTest::newRow("nothing yet") << false << QString() << false << false << false << QString() << false
                                     << u"waiting"_s;
    }

    void routerOrder()
    {
        QFETCH(bool, results);
        QFETCH(QString, searchText);
        QFETCH(bool, detail);
        QFETCH(bool, detailLoading);
        QFETCH(bool, loading);
        QFETCH(QString, error);
        QFETCH(bool, home);
        QFETCH(QString, route);

        auto router = load(u"Window/DetailRouter.qml"_s);
        QVERIFY(router);
        Store &s = *m_store;
        if (home)
            s.setHome(homeWith());
        s.setLoading(loading);
        if (!error.isEmpty())
            s.setError(error);
        s.setDetailLoading(detailLoading);
        if (detail)
            s.setDetail(someDetail());
        s.setSearchText(searchText);
        if (results)
            s.setSearchResults(someResults());

        QCOMPARE(router->property("route").toString(), route);
        QVERIFY(router->property("currentPage").value<QQuickItem *>());
    }

    // What the router's own states draw: the error state with message and retry, the loading text.
    void routerStates()
    {
        auto router = load(u"Window/DetailRouter.qml"_s);
        QVERIFY(router);
        m_store->setError(u"请求失败（500）"_s);
        auto *page = router->property("currentPage").value<QQuickItem *>();
        QVERIFY(page);
        QCOMPARE(page->objectName(), u"errorState"_s);
        QCOMPARE(textOf(page, u"errorTitle"_s), u"无法连接商店"_s);
        QCOMPARE(textOf(page, u"errorMessage"_s), u"请求失败（500）"_s);
        QCOMPARE(textOf(page, u"errorAddress"_s), u"http://127.0.0.1:9"_s);
        QCOMPARE(textOf(page, u"retryButton"_s), u"重试"_s);

        // Retry starts a home load.
        click(page, u"retryButton"_s);
        QVERIFY(m_store->loading());
        page = router->property("currentPage").value<QQuickItem *>();
        QCOMPARE(page->objectName(), u"storeLoading"_s);
        QCOMPARE(textOf(page, u"spinnerText"_s), u"正在载入商店…"_s);
        QTRY_VERIFY(!m_store->loading());
    }

    // Each section routes to its page once the home payload is there; pages not built yet show a placeholder.
    void routerSections_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("page");
        QTest::newRow("discover") << u"discover"_s << u"discoverView"_s;
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
        QVERIFY(router);
        m_store->setHome(homeWith());
        m_store->setProperty("section", section);
        QCOMPARE(router->property("route").toString(), section);
        auto *item = router->property("currentPage").value<QQuickItem *>();
        QVERIFY(item);
        QVERIFY2(item->objectName() == page || item->objectName() == u"placeholderPage"_s,
                 qPrintable(item->objectName()));
    }

    // The groups under billing on and off, before and after the home payload.
    void sidebarGroups_data()
    {
        QTest::addColumn<bool>("loaded");
        QTest::addColumn<QJsonValue>("billing"); // undefined: key absent
        QTest::addColumn<bool>("memberRow");
        QTest::addColumn<bool>("categories");

        QTest::newRow("before the first load") << false << QJsonValue(QJsonValue::Undefined) << true << false;
        QTest::newRow("billing on") << true << QJsonValue(true) << true << true;
        QTest::newRow("billing field absent") << true << QJsonValue(QJsonValue::Null) << true << true;
        QTest::newRow("billing off") << true << QJsonValue(false) << false << true;
    }

    void sidebarGroups()
    {
        QFETCH(bool, loaded);
        QFETCH(QJsonValue, billing);
        QFETCH(bool, memberRow);
        QFETCH(bool, categories);

        auto sidebar = load(u"Window/SidebarView.qml"_s);
        QVERIFY(sidebar);
        if (loaded)
            m_store->setHome(homeWith({{u"billingEnabled"_s, billing}}));

        for (const QString &row : {u"row_device"_s, u"row_softwareManager"_s, u"row_discover"_s, u"row_top"_s,
                                   u"row_latest"_s, u"row_installed"_s, u"row_wallpapers"_s})
            QVERIFY2(shown(sidebar.get(), row), qPrintable(row));
        QCOMPARE(shown(sidebar.get(), u"row_member"_s), memberRow);
        QCOMPARE(shown(sidebar.get(), u"sidebarFooter"_s), memberRow);
        QCOMPARE(shown(sidebar.get(), u"group_categories"_s), categories);
        QCOMPARE(shown(sidebar.get(), u"category_productivity"_s), categories);
        QCOMPARE(shown(sidebar.get(), u"category_dev"_s), categories);
        if (categories)
            QCOMPARE(find(sidebar.get(), u"categoryRows"_s)->property("count").toInt(), 2);
    }

    // The footer and the account chip follow the member of the home payload.
    void memberTexts_data()
    {
        QTest::addColumn<QJsonValue>("memberJson");
        QTest::addColumn<QString>("footerTitle"); // empty: the unlock button shows instead
        QTest::addColumn<QString>("footerDetail");
        QTest::addColumn<QString>("chip");

        QTest::newRow("signed out") << QJsonValue(QJsonValue::Null) << QString() << QString() << u"登录"_s;
        QTest::newRow("inactive sponsorship")
            << QJsonValue(member(false, false, 0)) << QString() << QString() << u"小林"_s;
        QTest::newRow("active, 12 days") << QJsonValue(member(true, false, 12)) << u"赞助有效"_s << u"剩余 12 天"_s
                                         << u"小林"_s;
        QTest::newRow("lifetime") << QJsonValue(member(true, true, 0)) << u"终身赞助者"_s << u"已解锁全部软件"_s
                                  << u"小林"_s;
    }

    void memberTexts()
    {
        QFETCH(QJsonValue, memberJson);
        QFETCH(QString, footerTitle);
        QFETCH(QString, footerDetail);
        QFETCH(QString, chip);

        auto sidebar = load(u"Window/SidebarView.qml"_s);
        auto account = load(u"Window/AccountChip.qml"_s);
        QVERIFY(sidebar && account);
        m_store->setHome(homeWith({{u"member"_s, memberJson}}));

        const bool sponsor = !footerTitle.isEmpty();
        QCOMPARE(shown(sidebar.get(), u"sponsorStatus"_s), sponsor);
        QCOMPARE(shown(sidebar.get(), u"unlockButton"_s), !sponsor);
        if (sponsor) {
            QCOMPARE(textOf(sidebar.get(), u"sponsorTitle"_s), footerTitle);
            QCOMPARE(textOf(sidebar.get(), u"sponsorDetail"_s), footerDetail);
        } else {
            m_store->setSection(Store::Section::top);
            click(sidebar.get(), u"unlockButton"_s);
            QCOMPARE(m_store->section(), Store::Section::member);
        }

        QCOMPARE(textOf(account.get(), u"accountLabel"_s), chip);
        QCOMPARE(shown(account.get(), u"sponsorDot"_s), !memberJson.isNull());
        m_store->setSection(Store::Section::top);
        click(account.get(), u"accountChip"_s);
        if (memberJson.isNull()) {
            QVERIFY(m_store->showLogin());
            QCOMPARE(m_store->section(), Store::Section::top);
        } else {
            QVERIFY(!m_store->showLogin());
            QCOMPARE(m_store->section(), Store::Section::member);
        }
    }

    // Rows map onto the section; any section but categories forgets the category; the detail stays open.
    void sidebarSelection()
    {
        auto sidebar = load(u"Window/SidebarView.qml"_s);
        QVERIFY(sidebar);
        m_store->setHome(homeWith());
        m_store->setDetail(someDetail());

        click(sidebar.get(), u"category_dev"_s);
        QCOMPARE(m_store->section(), Store::Section::categories);
        QCOMPARE(m_store->selectedCategory(), std::optional<QString>(u"dev"_s));
        QVERIFY(find(sidebar.get(), u"category_dev"_s)->property("selected").toBool());
        QVERIFY(!find(sidebar.get(), u"category_productivity"_s)->property("selected").toBool());
        QVERIFY(!find(sidebar.get(), u"row_top"_s)->property("selected").toBool());

        click(sidebar.get(), u"row_top"_s);
        QCOMPARE(m_store->section(), Store::Section::top);
        QCOMPARE(m_store->selectedCategory(), std::nullopt);
        QVERIFY(find(sidebar.get(), u"row_top"_s)->property("selected").toBool());
        QVERIFY(!find(sidebar.get(), u"category_dev"_s)->property("selected").toBool());
        QVERIFY(m_store->detail().has_value());
    }

    // Emptying the search text removes the results, so the detail or section page comes back; other edits
    // leave the results alone.
    void searchClearing()
    {
        auto window = load(u"Window/StoreWindow.qml"_s);
        QVERIFY(window);
        auto *router = find(window.get(), u"detailRouter"_s);
        QVERIFY(router);
        m_store->setHome(homeWith());
        m_store->setDetail(someDetail());
        m_store->setSearchText(u"截图"_s);
        m_store->setSearchResults(someResults());
        QCOMPARE(router->property("route").toString(), u"search"_s);
        QCOMPARE(find(window.get(), u"searchField"_s)->property("text").toString(), u"截图"_s);

        m_store->setSearchText(u"截"_s);
        QVERIFY(m_store->searchResults().has_value());

        click(window.get(), u"searchClear"_s);
        QCOMPARE(m_store->searchText(), QString());
        QVERIFY(!m_store->searchResults().has_value());
        QCOMPARE(router->property("route").toString(), u"detail"_s);

        m_store->setSearchText(u"a"_s);
        m_store->setSearchResults(someResults());
        m_store->setSearchText(QString());
        QVERIFY(!m_store->searchResults().has_value());
    }

    // The menu's "返回精选" and the links handed to the window.
    void commandsAndLinks()
    {
        auto window = load(u"Window/StoreWindow.qml"_s);
        QVERIFY(window);
        m_store->setHome(homeWith());
        m_store->setSection(Store::Section::top);
        m_store->setDetail(someDetail());
        QVERIFY(QMetaObject::invokeMethod(window.get(), "backToDiscover"));
        QVERIFY(!m_store->detail().has_value());
        QCOMPARE(m_store->section(), Store::Section::discover);

        // A section link closes an open detail; "categories" means discover.
        m_store->setDetail(someDetail());
        DeepLinks::instance()->open(QUrl(u"vexlink://section/wallpapers"_s));
        QCOMPARE(m_store->section(), Store::Section::wallpapers);
        QVERIFY(!m_store->detail().has_value());
        m_store->setDetail(someDetail());
        DeepLinks::instance()->open(QUrl(u"vexlink://section/categories"_s));
        QCOMPARE(m_store->section(), Store::Section::discover);
        QVERIFY(!m_store->detail().has_value());

        // Links that do not match change nothing.
        m_store->setSection(Store::Section::top);
        m_store->setDetail(someDetail());
        for (const QString &link : {u"vexlink://app/"_s, u"https://section/latest"_s, u"vexlink://shop/latest"_s})
            DeepLinks::instance()->open(QUrl(link));
        QCOMPARE(m_store->section(), Store::Section::top);
        QVERIFY(m_store->detail().has_value());
        QVERIFY(!m_store->detailLoading());

        // An app link opens the detail: the load starts at once (and fails here, with a toast).
        DeepLinks::instance()->open(QUrl(u"vexlink://app/muse-chat"_s));
        QVERIFY(m_store->detailLoading());
        QTRY_VERIFY(!m_store->detailLoading());
        QVERIFY(m_store->toast().has_value());
    }

    // The home payload loads when the window first appears, and only then; the sheets follow their flags.
    void firstShowAndSheets()
    {
        QQuickWindow window;
        window.resize(1180, 780);
        auto content = load(u"Window/StoreWindow.qml"_s);
        QVERIFY(content);
        content->setParentItem(window.contentItem());
        QSignalSpy loads(m_store.get(), &Store::loadingChanged);
        QTest::qWait(50);
        QCOMPARE(loads.count(), 0);

        window.show();
        QTRY_VERIFY(m_store->error().has_value()); // nobody answers on the test's port
        QVERIFY(!m_store->loading());
        const qsizetype afterFirst = loads.count();
        QVERIFY(afterFirst >= 2);
        window.hide();
        window.show();
        QTest::qWait(50);
        QCOMPARE(loads.count(), afterFirst);

        QObject *sheet = find(content.get(), u"loginSheet"_s);
        QVERIFY(sheet);
        QVERIFY(!sheet->property("visible").toBool());
        m_store->setShowLogin(true);
        QTRY_VERIFY(sheet->property("opened").toBool());
        QObject *body = find(window.contentItem(), u"sheetPlaceholder"_s);
        if (body) { // the sign-in screen itself closes the sheet through the flag; the stand-in has a button
            click(body, u"sheetClose"_s);
            QVERIFY(!m_store->showLogin());
        } else {
            m_store->setShowLogin(false);
        }
        QTRY_VERIFY(!sheet->property("visible").toBool());

        // Escape (closing the popup by other means) clears the flag too.
        m_store->setShowCheckout(true);
        QObject *checkout = find(content.get(), u"checkoutSheet"_s);
        QTRY_VERIFY(checkout->property("opened").toBool());
        QVERIFY(QMetaObject::invokeMethod(checkout, "close"));
        QTRY_VERIFY(!m_store->showCheckout());
        content.reset();
    }

    // The menu's shortcuts work while the menu is closed: Ctrl+1 closes a detail and shows discover,
    // Ctrl+R starts a home load.
    void menuShortcuts()
    {
        QQmlComponent component(m_engine.get());
        component.setData(R"(
            import QtQuick
            import QtQuick.Controls
            import Vexlo.Window
            ApplicationWindow {
                width: 1180; height: 780
                menuBar: StoreMenuBar { storeWindow: content }
                StoreWindow { id: content; anchors.fill: parent }
            })",
                          QUrl(u"file:///menu-test.qml"_s));
        std::unique_ptr<QObject> object(component.create());
        QVERIFY2(object, qPrintable(component.errorString()));
        auto *window = qobject_cast<QQuickWindow *>(object.get());
        QVERIFY(window);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QTRY_VERIFY(!m_store->loading()); // the first appearance's load (fails here)
        window->requestActivate();
        QVERIFY(QTest::qWaitForWindowActive(window));

        m_store->setHome(homeWith());
        m_store->setSection(Store::Section::top);
        m_store->setDetail(someDetail());
        QTest::keyClick(window, Qt::Key_1, Qt::ControlModifier);
        QVERIFY(!m_store->detail().has_value());
        QCOMPARE(m_store->section(), Store::Section::discover);

        QSignalSpy loads(m_store.get(), &Store::loadingChanged);
        QTest::keyClick(window, Qt::Key_R, Qt::ControlModifier);
        QVERIFY(loads.count() >= 1);
        QTRY_VERIFY(!m_store->loading());
        QVERIFY(m_store->home().has_value()); // a failed refresh keeps the loaded payload
    }

    // The toast capsule shows the store's message and keeps the text while it leaves.
    void toast()
    {
        QTRY_VERIFY_WITH_TIMEOUT(!m_store->toast().has_value(), 5000); // a toast left by an earlier test
        auto overlay = load(u"Window/ToastOverlay.qml"_s);
        QVERIFY(overlay);
        QVERIFY(!overlay->property("showing").toBool());
        m_store->showToast(u"已复制提取码"_s);
        QVERIFY(overlay->property("showing").toBool());
        QCOMPARE(textOf(overlay.get(), u"toastText"_s), u"已复制提取码"_s);
        m_store->showToast(u"第二条"_s);
        QCOMPARE(textOf(overlay.get(), u"toastText"_s), u"第二条"_s);
        QTRY_VERIFY_WITH_TIMEOUT(!overlay->property("showing").toBool(), 5000);
        QCOMPARE(textOf(overlay.get(), u"toastText"_s), u"第二条"_s);
        QTRY_VERIFY(!find(overlay.get(), u"toastCapsule"_s)->property("visible").toBool());
    }
};

QTEST_MAIN(WindowTest)
#include "tst_window.moc"
