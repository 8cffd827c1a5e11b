// The software manager page driven through its object names: scan states, update markers and the update
// button, the uninstall sheet with its outcomes and the page toast, and the icon placeholder.

#include "TestTree.h"

#include "ItemQuery.h"
#include "RecordingPlatform.h"
#include "ScreenEngine.h"
#include "ScriptedServer.h"
#include "service/Endpoint.h"
#include "software/SoftwareListModel.h"
#include "store/Store.h"

#include <QQuickItem>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "vexlo_qml_plugins.h"

using namespace Qt::StringLiterals;
using namespace TestTree;

namespace {

using ItemQuery::press;

QList<QQuickItem *> named(QQuickItem *root, const QString &name)
{
    return ItemQuery::named(root, name, true);
}

// The only visible item named `name`.
QQuickItem *one(QQuickItem *root, const QString &name)
{
    return ItemQuery::only(root, name, true);
}

QString text(QQuickItem *root, const QString &name)
{
    QQuickItem *item = one(root, name);
    return item ? item->property("text").toString() : u"<none>"_s;
}

// The visible rows' values of one element, top to bottom.
QStringList rowTexts(QQuickItem *root, const QString &name)
{
    QList<QQuickItem *> items = named(root, name);
    std::sort(items.begin(), items.end(),
              [](QQuickItem *a, QQuickItem *b) { return a->mapToScene({}).y() < b->mapToScene({}).y(); });
    QStringList out;
    for (QQuickItem *item : std::as_const(items))
        out << item->property("text").toString();
    return out;
}

QQuickItem *rowOf(QQuickItem *root, const QString &appName)
{
    for (QQuickItem *row : named(root, u"appRowName"_s)) {
        if (row->property("text").toString() != appName)
            continue;
        while (row && !row->property("hasUpdate").isValid())
            row = row->parentItem();
        return row;
    }
    return nullptr;
}

} // namespace

class TestSoftwarePage : public QObject
{
    Q_OBJECT

private:
    RecordingPlatform m_platform;
    std::unique_ptr<ScreenEngine> m_screens;
    std::unique_ptr<QQuickWindow> m_window;
    QTemporaryDir m_dir;

    // A shown page over the given folder; with `scanned`, once its first scan finished.
    std::unique_ptr<QQuickItem> page(const QString &root, bool scanned = true)
    {
        auto item = m_screens->load<QQuickItem>(
            u"Software/SoftwareManagerView.qml"_s,
            {{u"roots"_s, QStringList{root}}, {u"checkOnline"_s, false}, {u"library"_s, m_dir.filePath(u"Library"_s)}});
        if (!item)
            return nullptr;
        item->setParentItem(m_window->contentItem());
        item->setSize({800, 1200});
        auto *apps = item->property("apps").value<SoftwareListModel *>();
        if (scanned && apps->scanning())
            QSignalSpy(apps, &SoftwareListModel::scanFinished).wait(10000);
        if (scanned)
            QCoreApplication::processEvents();
        return item;
    }

    QString tree(const QString &name)
    {
        const QString root = m_dir.filePath(name);
        const auto bundle = [&](const QString &app, const QString &version, const QByteArray &icon) {
            makeBundle(root, app + u".app"_s, app, version,
                       stringKey("CFBundleIconFile", u"AppIcon"_s) +
                           stringKey("CFBundleIdentifier", u"com.example."_s + app.toLower()));
            writeFile(root + u'/' + app + u".app/Contents/Resources/AppIcon.icns"_s, icon);
        };
        bundle(u"Foo"_s, u"1.9"_s, icnsWith({{"icp6", 64}}));
        bundle(u"foo"_s, u"1.0"_s, icnsWith({{"icp6", 64}}));
        bundle(u"Broken"_s, u"2.0"_s, "icns\0\0\0\x10not an image");
        return root;
    }

private Q_SLOTS:
    void initTestCase()
    {
        Platform::setInstance(&m_platform);
        m_screens = std::make_unique<ScreenEngine>();
        m_window = std::make_unique<QQuickWindow>();
        m_window->resize(800, 1200);
        m_window->show(); // animations (the toast's fade) advance only in a shown window
    }
    void cleanupTestCase()
    {
        m_window.reset();
        m_screens.reset();
        Platform::setInstance(nullptr);
    }
    void init() { m_screens->store.setHome(std::nullopt); }

    // Scanning with no rows yet, the list, the icons or their placeholder, the markers once a catalogue is loaded,
    // 更新 opening the matched entry's detail, and the empty state.
    void statesAndMarkers()
    {
        ScriptedServer server;
        Endpoint::setBase(server.base());
        m_screens->store.setSection(Store::Section::softwareManager);
        const QString root = tree(u"states"_s);
        auto view = page(root, false);
        QVERIFY(view);
        auto *apps = view->property("apps").value<SoftwareListModel *>();
        QVERIFY(apps->scanning());
        QCOMPARE(text(view.get(), u"scanningText"_s), u"扫描中…"_s);
        QCOMPARE(text(view.get(), u"appCount"_s), u"0 个应用"_s);
        QVERIFY(!one(view.get(), u"rescanButton"_s)->isEnabled());
        QVERIFY(!one(view.get(), u"softwareEmpty"_s));
        QVERIFY(QSignalSpy(apps, &SoftwareListModel::scanFinished).wait(10000));
        QCoreApplication::processEvents();

        QCOMPARE(text(view.get(), u"appCount"_s), u"3 个应用"_s);
        QVERIFY(!one(view.get(), u"scanningText"_s));
        QCOMPARE(rowTexts(view.get(), u"appRowName"_s), (QStringList{u"Broken"_s, u"Foo"_s, u"foo"_s}));
        QCOMPARE(rowTexts(view.get(), u"appRowVersion"_s), (QStringList{u"v2.0"_s, u"v1.9"_s, u"v1.0"_s}));
        QCOMPARE(named(view.get(), u"appRowUninstall"_s).size(), 3);
        QTRY_VERIFY(one(rowOf(view.get(), u"Foo"_s), u"appRowIcon"_s)->property("loaded").toBool());
        QVERIFY(!one(rowOf(view.get(), u"Foo"_s), u"appRowIcon"_s)->property("placeholderShown").toBool());
#ifndef Q_OS_MACOS // the workspace has an icon for every bundle, so no row shows the placeholder
        QTRY_VERIFY(one(rowOf(view.get(), u"Broken"_s), u"appRowIcon"_s)->property("placeholderShown").toBool());
        QVERIFY(one(rowOf(view.get(), u"Broken"_s), u"bundleIconPlaceholder"_s));
#endif

        StoreHome home;
        home.featured = {storeApp(u"foo-slug"_s, u"Foo"_s, u"1.10"_s), storeApp(u"broken-slug"_s, u"Broken"_s, u"2"_s)};
        m_screens->store.setHome(home);
        QCoreApplication::processEvents();
        QCOMPARE(rowTexts(view.get(), u"appRowBadgeText"_s), QStringList{u"有新版 v1.10"_s});
        QCOMPARE(named(view.get(), u"appRowUpdate"_s).size(), 1);
        press(one(rowOf(view.get(), u"Foo"_s), u"appRowUpdate"_s));
        QCOMPARE(m_screens->store.section(), Store::Section::discover);
        QTRY_COMPARE(server.count("GET", "/api/store/apps/foo-slug"), 1);

        // A rescan keeps the rows on screen until its result arrives; an empty result shows the empty state.
        view->setProperty("roots", QStringList{m_dir.filePath(u"nothing"_s)});
        press(one(view.get(), u"rescanButton"_s));
        QVERIFY(apps->scanning());
        QCOMPARE(named(view.get(), u"appRowName"_s).size(), 3);
        QVERIFY(QSignalSpy(apps, &SoftwareListModel::scanFinished).wait(10000));
        QCoreApplication::processEvents();
        QCOMPARE(text(view.get(), u"appCount"_s), u"0 个应用"_s);
        QCOMPARE(text(view.get(), u"softwareEmptyText"_s), u"点击「重新扫描」开始"_s);
    }

    // Success removes the row at once and shows the toast for 1.8 s; failures stay in the sheet.
    void uninstall()
    {
        const QString root = tree(u"uninstall"_s);
        auto view = page(root);
        QVERIFY(view);
        auto *apps = view->property("apps").value<SoftwareListModel *>();
        QSignalSpy scans(apps, &SoftwareListModel::scanFinished);

        press(one(rowOf(view.get(), u"foo"_s), u"appRowUninstall"_s));
        QQuickItem *overlay =
            m_window->contentItem()->parentItem() ? m_window->contentItem()->parentItem() : m_window->contentItem();
        QTRY_VERIFY(one(overlay, u"uninstallTitle"_s));
        QCOMPARE(text(overlay, u"uninstallTitle"_s), u"卸载「foo」？"_s);
        QVERIFY(text(overlay, u"uninstallDetails"_s).startsWith(u"将删除 "_s + root + u"/foo.app\n版本 1.0 · "_s));
        QVERIFY(!one(overlay, u"uninstallError"_s) && !one(overlay, u"uninstallReveal"_s));

        press(one(overlay, u"uninstallConfirm"_s));
        QTRY_COMPARE(view->property("toast").toString(), u"已卸载 foo"_s);
        QTRY_COMPARE(text(view.get(), u"softwareToastText"_s), u"已卸载 foo"_s);
        QCOMPARE(rowTexts(view.get(), u"appRowName"_s), (QStringList{u"Broken"_s, u"Foo"_s}));
        QCOMPARE(scans.size(), 0); // no rescan
        QVERIFY(!one(overlay, u"uninstallTitle"_s));
        QTest::qWait(1500);
        QCOMPARE(view->property("toast").toString(), u"已卸载 foo"_s);
        QTRY_COMPARE_WITH_TIMEOUT(view->property("toast").toString(), QString(), 600);

        // Leftovers in the Library: listed after the bundle went, the checked ones moved on request.
        writeFile(m_dir.filePath(u"Library/Caches/com.example.foo/data"_s), QByteArray(3000, 'c'));
        writeFile(m_dir.filePath(u"Library/Logs/Foo/log"_s), "related");
        press(one(rowOf(view.get(), u"Foo"_s), u"appRowUninstall"_s));
        QTRY_VERIFY(one(overlay, u"uninstallConfirm"_s));
        press(one(overlay, u"uninstallConfirm"_s));
        QTRY_VERIFY(one(overlay, u"leftoverTrash"_s));
        QCOMPARE(rowTexts(overlay, u"leftoverPlace"_s), (QStringList{u"Caches/com.example.foo"_s, u"Logs/Foo"_s}));
        QVERIFY(one(overlay, u"leftoverRelatedHeader"_s));
        QVERIFY(text(overlay, u"leftoverSummary"_s).startsWith(u"已选 1 项 · "_s));
        press(one(overlay, u"leftoverTrash"_s));
        QTRY_COMPARE(view->property("toast").toString(), u"已卸载 Foo，并清理 1 项残留文件"_s);
        QTRY_VERIFY(!one(overlay, u"leftoverTitle"_s));

        // A bundle gone since the scan: the message and the reveal button. (Each failure's own message is
        // software_uninstall's.)
        QDir(root + u"/Broken.app"_s).removeRecursively();
        press(one(rowOf(view.get(), u"Broken"_s), u"appRowUninstall"_s));
        QTRY_VERIFY(one(overlay, u"uninstallConfirm"_s));
        press(one(overlay, u"uninstallConfirm"_s));
        QTRY_COMPARE(text(overlay, u"uninstallError"_s), u"应用已不存在，请重新扫描"_s);
        QVERIFY(one(overlay, u"uninstallReveal"_s));
        press(one(overlay, u"uninstallReveal"_s));
        QCOMPARE(m_platform.revealed.last(), root + u"/Broken.app"_s);
        QCOMPARE(text(view.get(), u"appCount"_s), u"1 个应用"_s);
        press(one(overlay, u"uninstallCancel"_s));
        QTRY_VERIFY(!one(overlay, u"uninstallTitle"_s));
    }
};

QTEST_MAIN(TestSoftwarePage)
#include "tst_software_page.moc"
