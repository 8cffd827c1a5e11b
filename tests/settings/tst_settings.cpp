// The settings window's content over a Store and a scripted store service: the site address rules and the
// account rows.
#include "service/Endpoint.h"
#include "service/UserDefaults.h"
#include "store/Store.h"

#include <QQuickItem>
#include <QtTest>

#include "../store/StoreJson.h"
#include "Fixtures.h"
#include "ItemQuery.h"
#include "ScreenEngine.h"
#include "ScriptedServer.h"
#include "vexlo_qml_plugins.h"

using namespace Qt::StringLiterals;
using ItemQuery::only;
using ItemQuery::text;

class SettingsTest : public QObject
{
    Q_OBJECT

private:
    ScriptedServer m_server;
    std::unique_ptr<ScreenEngine> m_screens;

    std::unique_ptr<QQuickItem> view() { return m_screens->load<QQuickItem>(u"Settings/SettingsView.qml"_s); }

private Q_SLOTS:
    void init()
    {
        m_server.requests.clear();
        Endpoint::setBase(m_server.base());
        m_server.script("GET", "/api/store/home", json(fixtures::home(u"站"_s)));
        m_screens = std::make_unique<ScreenEngine>();
    }
    void cleanup() { m_screens.reset(); }

    void saveAddress_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QString>("stored");
        QTest::newRow("spaces around") << u"  http://127.0.0.1:9  "_s << true << u"http://127.0.0.1:9"_s;
        QTest::newRow("spaces only") << u"   "_s << true << QString();
        QTest::newRow("empty") << QString() << false << QString();
    }
    // The trimmed text is stored, the field keeps what was typed, and the button confirms until 1.5 s after
    // the reload; an empty field cannot be saved, one of spaces can.
    void saveAddress()
    {
        QFETCH(QString, typed);
        QFETCH(bool, enabled);
        QFETCH(QString, stored);
        auto page = view();
        QQuickItem *field = only(page.get(), u"addressField"_s);
        QCOMPARE(field->property("text").toString(), m_server.base());
        field->setProperty("text", typed);
        QMetaObject::invokeMethod(field, "textEdited");
        QQuickItem *save = only(page.get(), u"saveButton"_s);
        QCOMPARE(save->isEnabled(), enabled);
        if (!enabled)
            return;
        QMetaObject::invokeMethod(save, "clicked");
        QCOMPARE(Endpoint::base(), stored);
        QCOMPARE(field->property("text").toString(), typed);
        QCOMPARE(save->property("text").toString(), u"已保存"_s);
        QTRY_VERIFY(!m_screens->store.loading());
        QTest::qWait(1000);
        QCOMPARE(save->property("text").toString(), u"已保存"_s);
        QTRY_COMPARE_WITH_TIMEOUT(save->property("text").toString(), u"保存并刷新"_s, 2000);
    }

    // "恢复默认" writes the default text itself, and reloads nothing.
    void restoreDefault()
    {
        auto page = view();
        QMetaObject::invokeMethod(only(page.get(), u"restoreButton"_s), "clicked");
        QCOMPARE(text(page.get(), u"addressField"_s), Endpoint::defaultBase());
        // Stored as text (a string in the macOS defaults domain), never as a serialised URL.
        QCOMPARE(userDefaults()->value("baseURL"), QVariant(u"http://127.0.0.1:4812"_s));
        QCOMPARE(m_server.requests.size(), 0);
    }

    void account_data()
    {
        QTest::addColumn<bool>("active");
        QTest::addColumn<bool>("forever");
        QTest::addColumn<int>("days");
        QTest::addColumn<QString>("sponsorship");
        QTest::newRow("forever but inactive") << false << true << 0 << u"未生效"_s;
        QTest::newRow("forever") << true << true << 0 << u"终身"_s;
        QTest::newRow("30 days") << true << false << 30 << u"剩余 30 天"_s;
    }
    // Signed out, "登录" asks for the sign-in sheet; signed in, the rows show the member. "退出登录" ends the
    // session and reloads, and the signed-out home shows the signed-out rows again.
    void account()
    {
        QFETCH(bool, active);
        QFETCH(bool, forever);
        QFETCH(int, days);
        QFETCH(QString, sponsorship);
        auto page = view();
        QVERIFY(only(page.get(), u"signedOut"_s)->isVisible());
        QCOMPARE(text(page.get(), u"signInButton"_s), u"登录\u2008"_s);
        QMetaObject::invokeMethod(only(page.get(), u"signInButton"_s), "clicked");
        QVERIFY(m_screens->store.showLogin());

        QJsonObject member = fixtures::member(active);
        member["forever"] = forever;
        member["daysLeft"] = days;
        m_screens->store.setHome(decode<StoreHome>(fixtures::home(u"站"_s, member)));
        QVERIFY(only(page.get(), u"signedIn"_s)->isVisible());
        QVERIFY(!only(page.get(), u"signedOut"_s)->isVisible());
        QCOMPARE(text(page.get(), u"nicknameValue"_s), u"Ada"_s);
        QCOMPARE(text(page.get(), u"emailValue"_s), u"ada@vexlo.test"_s);
        QCOMPARE(text(page.get(), u"sponsorValue"_s), sponsorship);

        m_server.script("POST", "/api/auth/logout", status(200, "{}"));
        QMetaObject::invokeMethod(only(page.get(), u"signOutButton"_s), "clicked");
        QTRY_VERIFY(only(page.get(), u"signedOut"_s)->isVisible());
        QCOMPARE(m_server.requests.first().target, QByteArray("/api/auth/logout"));
    }
};

QTEST_MAIN(SettingsTest)
#include "tst_settings.moc"
