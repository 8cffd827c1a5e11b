// The device page over the stand-in tools, checked by object name and through its DeviceCheck.

#include "device/DeviceCheck.h"
#include "store/Platform.h"
#include "store/Store.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QQuickItem>
#include <QQuickWindow>
#include <QRegularExpression>
#include <QtTest>

#include <memory>

#include "Fixtures.h"
#include "ItemQuery.h"
#include "RecordingPlatform.h"
#include "ScreenEngine.h"

#include "vexlo_qml_plugins.h"

using namespace Qt::StringLiterals;

class TestDevicePage : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_log;
    RecordingPlatform m_platform;
    std::unique_ptr<ScreenEngine> m_screens;
    std::unique_ptr<QQuickWindow> m_window;
    std::unique_ptr<QObject> m_page;

    DeviceCheck *check() const { return m_page->property("check").value<DeviceCheck *>(); }
    QObject *item(const QString &name) const { return ItemQuery::one(m_page.get(), name); }
    bool shown(const QString &name) const { return ItemQuery::shown(m_page.get(), name); }
    QString text(const QString &name) const { return ItemQuery::text(m_page.get(), name); }
    // Which of `names` are shown, in the order given.
    QStringList shownOf(QStringList names) const
    {
        names.removeIf([this](const QString &name) { return !shown(name); });
        return names;
    }
    static void click(QObject *button)
    {
        QVERIFY(button);
        QMetaObject::invokeMethod(button, "clicked");
    }

    bool open()
    {
        m_page = m_screens->load(u"Device/DeviceView.qml"_s, {{u"width"_s, 1000}, {u"height"_s, 900}});
        if (!m_page)
            return false;
        qobject_cast<QQuickItem *>(m_page.get())->setParentItem(m_window->contentItem());
        return true;
    }
    bool openAndFinish()
    {
        if (!open())
            return false;
        QSignalSpy finished(check(), &DeviceCheck::finished);
        return finished.wait(30000);
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_log = m_dir.filePath(u"tools.log"_s);
        qputenv("VEXLO_STANDIN_LOG", m_log.toUtf8());
        qunsetenv("VEXLO_STANDIN_PROFILE");
        Platform::setInstance(&m_platform);
    }
    void cleanupTestCase() { Platform::setInstance(nullptr); }

    void init()
    {
        // A failed binding or a type error on the page is a failure.
        QTest::failOnWarning(QRegularExpression(u"qrc:/qt/qml/Vexlo/"_s));
        QFile::remove(m_log);
        m_platform.opened.clear();
        m_screens = std::make_unique<ScreenEngine>();
        m_window = std::make_unique<QQuickWindow>();
        m_window->resize(1000, 900);
    }
    void cleanup()
    {
        qunsetenv("VEXLO_STANDIN_DELAY");
        m_page.reset();
        m_window.reset();
        m_screens.reset();
    }

    // The page checks by itself once, step by step with slow tools; 重新检测 reads everything again, past the
    // seven-day file cache (an ordinary run reads it: device_vexlo_check).
    void firstRunAndRefresh()
    {
        qputenv("VEXLO_STANDIN_DELAY", "0.15");
        QVERIFY(open());
        QVERIFY(check()->running());
        QVERIFY(text(u"statusText"_s).startsWith(u"正在读取 "_s));
        QVERIFY(shown(u"statusSpinner"_s));
        QVERIFY(shown(u"devicePlaceholder"_s));

        // Copying before the identity is known does nothing and says nothing.
        QGuiApplication::clipboard()->setText(u"before"_s);
        QMetaObject::invokeMethod(m_page.get(), "copyReport");
        QCOMPARE(QGuiApplication::clipboard()->text(), u"before"_s);
        QCOMPARE(m_screens->store.property("toast").toString(), QString());

        QTRY_VERIFY_WITH_TIMEOUT(item(u"section_storage"_s), 20000);
        QVERIFY(text(u"progressLine"_s).startsWith(u"正在读取 "_s));
        // No score before the cross-checks.
        QCOMPARE(shownOf({u"deviceCard"_s, u"section_battery"_s, u"progressLine"_s, u"crossPlaceholder"_s,
                          u"crossCard"_s, u"footer"_s, u"scoreText"_s}),
                 (QStringList{u"deviceCard"_s, u"section_battery"_s, u"progressLine"_s, u"crossPlaceholder"_s}));
        QCOMPARE(text(u"verdict"_s), u"正在体检…"_s);

        QTRY_VERIFY_WITH_TIMEOUT(!check()->running(), 30000);
        // An Apple silicon Mac has no firmware password to read.
        QCOMPARE(shownOf({u"progressLine"_s, u"crossPlaceholder"_s, u"crossCard"_s, u"issueBar"_s, u"startCard"_s,
                          u"sampleNote"_s, u"firmwareButton"_s, u"footer"_s}),
                 (QStringList{u"crossCard"_s, u"sampleNote"_s, u"footer"_s}));
        QCOMPARE(text(u"statusText"_s), u"检测完成"_s);
        QCOMPARE(text(u"scoreText"_s), u"体检 100 分"_s);
        QCOMPARE(text(u"crossSummary"_s), u"全部通过"_s);
        QVERIFY(check()->sampleData());
        QVERIFY(text(u"footerText"_s).endsWith(u" · 序列号 K7QX2M4HV9"_s));
        // The cells, cross-checks and metric rows are drawn from the check's records.
        QCOMPARE(ItemQuery::texts(m_page.get(), u"cellValue"_s).size(), check()->cells().size());
        QCOMPARE(ItemQuery::all(m_page.get(), u"crossRow"_s, true).size(), check()->checks().size());
        QCOMPARE(item(u"metric_cycle"_s)->property("value").toString(), u"112 次"_s);

        // Hiding and showing the page again starts nothing.
        auto *page = qobject_cast<QQuickItem *>(m_page.get());
        QSignalSpy changed(check(), &DeviceCheck::changed);
        page->setVisible(false);
        page->setVisible(true);
        QTest::qWait(200);
        QCOMPARE(changed.size(), 0);

        qunsetenv("VEXLO_STANDIN_DELAY");
        QFile::remove(m_log);
        QSignalSpy finished(check(), &DeviceCheck::finished);
        click(item(u"refreshButton"_s));
        QVERIFY(finished.wait(30000));
        QCOMPARE(readText(m_log).split(u'\n').count(u"system_profiler SPHardwareDataType"_s), 2);
    }

    // An Intel sample Mac chosen on the page: the firmware password is read only when asked (the administrator
    // password), and the copied report opens with the machine read from its hardware report and the score the
    // rules give it, holds that password's row, and ends with the issues the rules raise, all written out here by
    // hand (the tampered Mac's whole report is device_vexlo_check's).
    void intelMacCopiedReport()
    {
        QVERIFY(openAndFinish());
        QSignalSpy finished(check(), &DeviceCheck::finished);
        QMetaObject::invokeMethod(item(u"profilePicker"_s), "activated",
                                  Q_ARG(int, int(check()->profiles().indexOf(u"company"_s))));
        QVERIFY(finished.wait(30000));
        QCOMPARE(check()->profile(), u"company"_s);
        QVERIFY(shown(u"firmwareButton"_s));
        click(item(u"firmwareButton"_s));
        QTRY_VERIFY(!check()->firmwareCheckable() && !check()->firmwareChecking());
        QVERIFY(!shown(u"firmwareButton"_s));
        QCOMPARE(text(u"crossSummary"_s), u"2 项异常 · 1 项注意"_s);
        QVERIFY(shown(u"issueBar"_s));

        click(item(u"action_5"_s));
        QCOMPARE(m_screens->store.property("toast").toString(), u"报告已复制"_s);
        const QStringList lines = QGuiApplication::clipboard()->text().split(u'\n');
        // 100 - 30 (DEP) - 15 (firmware password) - 10 (battery service) - 5 (641 cycles) - 5 (76 % health)
        QCOMPARE(lines.mid(0, 4),
                 (QStringList{u"Vexlo 验机报告"_s, u"MacBook Pro · MacBookPro16,1 · 6-Core Intel Core i7"_s,
                              u"序列号 C02ZW1KDMD6M"_s, u"评分 35/100"_s}));
        QVERIFY(lines.contains(u"· 固件密码：已设置（没有此密码无法进入恢复模式、抹盘或从其他磁盘启动）"_s));
        QCOMPARE(lines.mid(lines.indexOf(u"需要注意："_s) + 1),
                 (QStringList{u"  · 这台 Mac 登记在机构的设备管理中（DEP），抹盘重装后仍会被重新接管"_s,
                              u"  · 设有固件密码：没有密码无法进入恢复模式或抹盘，须让卖家当面移除"_s,
                              u"  · 系统提示电池需要维修或更换（建议维修）"_s}));
    }

    // The action row in order, the identity card's toggle and the hands-on answers in the report.
    void actionsAndHandsOn()
    {
        QVERIFY(openAndFinish());
        const int collapsed = int(check()->cells().size());
        click(item(u"action_0"_s)); // 电池详情
        QVERIFY(check()->showAll());
        QVERIFY(check()->cells().size() > collapsed);
        QCOMPARE(text(u"showAllToggle"_s), u"收起"_s);
        for (int i = 1; i <= 4; ++i)
            click(item(u"action_%1"_s.arg(i)));
        click(item(u"webCheckButton"_s));
        QCOMPARE(m_platform.opened.size(), 5);

        // Screen: the colour fields step with the keys and ask at the end.
        click(item(u"screenStart"_s));
        auto *fields = qobject_cast<QWindow *>(item(u"colourWindow"_s));
        QVERIFY(fields && fields->isVisible());
        QVERIFY(QTest::qWaitForWindowActive(fields));
        for (int i = 0; i < 6; ++i)
            QTest::keyClick(fields, Qt::Key_Right);
        QVERIFY(!fields->isVisible());
        QVERIFY(shown(u"screenNoProblem"_s));
        click(item(u"screenNoProblem"_s));
        QCOMPARE(text(u"screenAnswer"_s), u"无异常"_s);

        // Keyboard: keys light from key events while the map is open.
        click(item(u"keyboardStart"_s));
        QTRY_VERIFY(item(u"keyboardPanel"_s)->property("opened").toBool());
        for (quint32 code : {30u, 31u, 30u}) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, code + 8, 0, 0);
            QCoreApplication::sendEvent(m_window.get(), &press);
        }
        QCOMPARE(text(u"keysSeen"_s), u"已按过 2 / 77 个键"_s);
        click(item(u"keyboardProblem"_s));

        check()->setAnswer(u"speakerRight"_s, u"正常"_s);
        click(item(u"action_5"_s));
        QVERIFY(QGuiApplication::clipboard()->text().endsWith(
            u"\n【动手检查】\n  屏幕：无异常\n  键盘：有按键失灵（按过 2 / 77 个键）\n  扬声器：右声道正常"_s));
    }

    // A buyer types the serial from the case: a wrong one is a finding that costs points; the check is kept,
    // listed on the next check of this Mac and compared; the picture is saved, copied and shown.
    void caseSerialHistoryAndPicture()
    {
        QVERIFY(openAndFinish());
        QVERIFY(shown(u"buyerCard"_s));
        QCOMPARE(text(u"caseSerialResult"_s), u"未核对"_s);
        item(u"caseSerialField"_s)->setProperty("text", u"C02ZK3M8JYVX"_s);
        click(item(u"caseSerialButton"_s));
        QCOMPARE(check()->caseSerial(), u"C02ZK3M8JYVX"_s);
        QCOMPARE(text(u"caseSerialResult"_s), u"不一致"_s);
        QVERIFY(shown(u"caseSerialDetail"_s));
        QCOMPARE(check()->score(), 75);
        QVERIFY(shown(u"issueBar"_s));

        const int before = check()->historyModel()->rowCount();
        QSignalSpy finished(check(), &DeviceCheck::finished);
        check()->runAll(false);
        QVERIFY(finished.wait(30000));
        QCOMPARE(check()->historyModel()->rowCount(), before + 1);
        QVERIFY(shown(u"historyCount"_s));
        const QList<QObject *> compare = ItemQuery::all(m_page.get(), u"compareButton"_s);
        QVERIFY(!compare.isEmpty());
        click(compare.first());
        QCOMPARE(check()->comparedRow(), 0);
        QVERIFY(shown(u"noChanges"_s)); // the same sample Mac with the same case serial

        click(item(u"action_6"_s)); // 导出图片
        const QString picture = check()->exportedImage();
        QCOMPARE(QImage(picture).width(), 1080);
        QCOMPARE(QGuiApplication::clipboard()->image().width(), 1080);
        QTRY_VERIFY(item(u"exportPreview"_s)->property("opened").toBool());
    }
};

QTEST_MAIN(TestDevicePage)
#include "tst_device_page.moc"
