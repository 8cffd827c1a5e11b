// The "商店" menu as macOS's menu bar shows it: every item reaches the store window or the app, and the settings
// item carries the role that moves it into the application menu.
#include "app/GlobalMenuBar.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

class FakeStoreWindow : public QObject
{
    Q_OBJECT

public:
    QStringList calls;
    Q_INVOKABLE void refreshStore() { calls << u"refreshStore"_s; }
    Q_INVOKABLE void backToDiscover() { calls << u"backToDiscover"_s; }
    Q_INVOKABLE void openSite() { calls << u"openSite"_s; }
};

class TestGlobalMenu : public QObject
{
    Q_OBJECT

    static QAction *item(const GlobalMenuBar &bar, const QString &text)
    {
        const QList<QAction *> menus = bar.menuBar()->actions();
        if (menus.size() != 1 || !menus.first()->menu() || menus.first()->text() != u"商店")
            return nullptr;
        for (QAction *action : menus.first()->menu()->actions()) {
            if (action->text() == text)
                return action;
        }
        return nullptr;
    }

private Q_SLOTS:
    void items_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QKeySequence>("shortcut");
        QTest::addColumn<QString>("call"); // on the store window, or the signal's name
        QTest::newRow("refresh") << u"刷新商店"_s << QKeySequence(u"Ctrl+R"_s) << u"refreshStore"_s;
        QTest::newRow("discover") << u"返回精选"_s << QKeySequence(u"Ctrl+1"_s) << u"backToDiscover"_s;
        QTest::newRow("quick search") << u"快速搜索"_s << QKeySequence(u"Ctrl+K"_s) << u"quickSearchRequested"_s;
        QTest::newRow("settings") << u"设置…"_s << QKeySequence(QKeySequence::Preferences) << u"settingsRequested"_s;
        QTest::newRow("site") << u"打开站点官网"_s << QKeySequence() << u"openSite"_s;
    }

    void items()
    {
        QFETCH(QString, text);
        QFETCH(QKeySequence, shortcut);
        QFETCH(QString, call);
        FakeStoreWindow window;
        GlobalMenuBar bar(&window);
        QSignalSpy settings(&bar, &GlobalMenuBar::settingsRequested);
        QSignalSpy search(&bar, &GlobalMenuBar::quickSearchRequested);
        QAction *action = item(bar, text);
        QVERIFY(action);
        QCOMPARE(action->shortcut(), shortcut);
        QCOMPARE(action->menuRole() == QAction::PreferencesRole, call == u"settingsRequested");
        action->trigger();
        QStringList seen = window.calls;
        if (settings.size())
            seen << u"settingsRequested"_s;
        if (search.size())
            seen << u"quickSearchRequested"_s;
        QCOMPARE(seen, QStringList{call});
    }

    // The menu outlives a closed store window without calling into it.
    void windowGone()
    {
        auto window = std::make_unique<FakeStoreWindow>();
        GlobalMenuBar bar(window.get());
        window.reset();
        item(bar, u"刷新商店"_s)->trigger();
    }
};

QTEST_MAIN(TestGlobalMenu)
#include "tst_global_menu.moc"
