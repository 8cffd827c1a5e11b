// The whole store window against the real reference service, driven as a user would: sign in, open the
// membership page, sponsor the yearly plan, see the QR code, pay in the sandbox and see the days left.
#include "service/Endpoint.h"
#include "store/Store.h"

#include <QProcess>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include "ItemQuery.h"

#include "vexlo_qml_plugins.h"

using namespace Qt::StringLiterals;
using namespace ItemQuery;

class SponsorshipEndToEnd : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QProcess m_server;

private Q_SLOTS:
    void initTestCase()
    {
#ifndef STORE_SERVER
        QSKIP("the reference service is not part of this build");
#else
        QVERIFY(m_dir.isValid());
        m_server.setProgram(QStringLiteral(STORE_SERVER));
        m_server.setArguments({u"--port"_s, u"0"_s, u"--data-dir"_s, m_dir.filePath(u"data"_s)});
        m_server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_server.start();
        QVERIFY2(m_server.waitForStarted(), qPrintable(m_server.errorString()));
        const QRegularExpression listening(u"listening on (http://\\S+)"_s);
        QString banner;
        QTRY_VERIFY_WITH_TIMEOUT(
            (banner += QString::fromUtf8(m_server.readAllStandardOutput()), listening.match(banner).hasMatch()), 20000);
        Endpoint::setBase(listening.match(banner).captured(1));
#endif
    }

    void cleanupTestCase()
    {
        m_server.terminate();
        if (!m_server.waitForFinished(5000))
            m_server.kill();
    }

    void signInSponsorAndPay()
    {
        Store store(nullptr);
        Store::setInstance(&store);
        QQmlEngine engine;
        engine.addImportPath(u"qrc:/qt/qml"_s);
        QQmlComponent component(&engine);
        component.setData("import QtQuick\nimport QtQuick.Controls\nimport Vexlo.Window\n"
                          "ApplicationWindow { width: 1180; height: 780; visible: true\n"
                          "  StoreWindow { anchors.fill: parent } }",
                          QUrl(u"qrc:/e2e/Main.qml"_s));
        std::unique_ptr<QObject> object(component.create());
        QVERIFY2(object, qPrintable(component.errorString()));
        auto *window = qobject_cast<QQuickWindow *>(object.get());
        QVERIFY(window);

        // Launch: the window loads the store by itself; nobody is signed in.
        QTRY_VERIFY_WITH_TIMEOUT(store.home().has_value(), 15000);
        QVERIFY(!store.member());

        // 登录 in the toolbar opens the sign-in sheet.
        QVERIFY(press(window, u"accountChip"_s));
        QTRY_VERIFY(shown(window, u"loginPage"_s));
        one(window, u"emailField"_s)->setProperty("text", u"member@vexlo.test"_s);
        one(window, u"passwordField"_s)->setProperty("text", u"vexlo-member"_s);
        QVERIFY(press(window, u"loginSubmit"_s));
        QTRY_VERIFY_WITH_TIMEOUT(store.member().has_value() && !store.showLogin(), 15000);
        QTRY_VERIFY(!shown(window, u"loginPage"_s));
        QVERIFY(!store.member()->sponsorActive);

        // The account chip now leads to the membership page.
        QVERIFY(press(window, u"accountChip"_s));
        QTRY_VERIFY(shown(window, u"memberView"_s));
        QCOMPARE(text(window, u"memberStatus"_s), u"未赞助"_s);
        QObject *yearly = nullptr;
        for (QObject *card : all(window, u"planCard"_s, true)) {
            if (card->property("highlighted").toBool())
                yearly = card;
        }
        QVERIFY(yearly);
        QVERIFY(press(yearly, u"planButton"_s));

        // The sheet shows the order and the service's QR code.
        QTRY_VERIFY(shown(window, u"checkoutPage"_s));
        QTRY_VERIFY_WITH_TIMEOUT(shown(window, u"orderView"_s), 15000);
        QCOMPARE(text(window, u"orderPrompt"_s), u"请使用微信扫码支付"_s);
        QTRY_VERIFY_WITH_TIMEOUT(one(window, u"qrCode"_s)->property("loaded").toBool(), 15000);

        // Sandbox payment: the sponsorship becomes active and the page counts its days.
        QVERIFY(press(window, u"mockPay"_s));
        QTRY_VERIFY_WITH_TIMEOUT(!store.checkout().has_value(), 15000);
        QTRY_VERIFY_WITH_TIMEOUT(store.member() && store.member()->sponsorActive, 15000);
        QVERIFY(press(window, u"checkoutClose"_s));
        QTRY_VERIFY(!store.showCheckout());
        QTRY_VERIFY(QRegularExpression(u"^剩余 \\d+ 天$"_s).match(text(window, u"memberStatus"_s)).hasMatch());

        object.reset();
        Store::setInstance(nullptr);
    }
};

QTEST_MAIN(SponsorshipEndToEnd)
#include "tst_sponsorship_e2e.moc"
