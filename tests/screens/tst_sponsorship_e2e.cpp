// The whole store window against the real reference service, driven as a user would: buying while signed out
// asks for the sign-in sheet; sponsoring the yearly plan from the membership page shows the service's QR code;
// the sandbox payment makes the member a sponsor and the page counts the days left. (The service's side of each
// step is server_contract's; what each screen does with scripted replies is the other screens tests'.)
#include "service/Endpoint.h"
#include "store/Store.h"

#include <QQuickWindow>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <QCoro/QCoroTask>

#include "ItemQuery.h"
#include "RecordingPlatform.h"
#include "ScreenEngine.h"
#include "ServerProcess.h"

#include "vexlo_qml_plugins.h"

using namespace Qt::StringLiterals;
using namespace ItemQuery;

class SponsorshipEndToEnd : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    ServerProcess m_server;
    RecordingPlatform m_platform;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QString error;
        QVERIFY2(m_server.start(m_dir.filePath(u"data"_s), 0, &error), qPrintable(error));
        Endpoint::setBase(m_server.base());
        Platform::setInstance(&m_platform);
    }

    void cleanupTestCase() { Platform::setInstance(nullptr); }

    void signInSponsorAndPay()
    {
        ScreenEngine screens;
        Store &store = screens.store;
        const std::unique_ptr<QQuickWindow> owned = screens.storeWindow();
        QQuickWindow *window = owned.get();
        window->show();

        // Launch: the window loads the store by itself; nobody is signed in.
        QTRY_VERIFY_WITH_TIMEOUT(store.home().has_value(), 15000);
        QVERIFY(!store.member());
        QVERIFY(!store.home()->plans.isEmpty());

        // Buying signed out opens the sign-in sheet instead.
        QCoro::waitFor(store.startCheckoutTask(store.home()->plans.first()));
        QTRY_VERIFY(shown(window, u"loginPage"_s));
        one(window, u"emailField"_s)->setProperty("text", u"member@vexlo.test"_s);
        one(window, u"passwordField"_s)->setProperty("text", u"vexlo-member"_s);
        QVERIFY(press(window, u"loginSubmit"_s));
        QTRY_VERIFY_WITH_TIMEOUT(store.member().has_value() && !store.showLogin(), 15000);
        QVERIFY(!store.member()->sponsorActive);
        QVERIFY(press(window, u"row_member"_s));
        QTRY_VERIFY(shown(window, u"memberView"_s));
        const QList<QObject *> cards = all(window, u"planCard"_s, true);
        const auto yearly =
            std::ranges::find_if(cards, [](QObject *card) { return card->property("highlighted").toBool(); });
        QVERIFY(yearly != cards.end() && press(*yearly, u"planButton"_s));

        // The sheet shows the order and the service's QR code.
        QTRY_VERIFY(shown(window, u"checkoutPage"_s));
        QTRY_VERIFY_WITH_TIMEOUT(shown(window, u"orderView"_s), 15000);
        QTRY_VERIFY_WITH_TIMEOUT(one(window, u"qrCode"_s)->property("loaded").toBool(), 15000);
        const QString orderNo = store.checkout()->orderNo;

        // Sandbox payment: the order is paid, the sponsorship active and the page counts its days.
        QVERIFY(press(window, u"mockPay"_s));
        QTRY_VERIFY_WITH_TIMEOUT(!store.checkout().has_value(), 15000);
        QTRY_VERIFY_WITH_TIMEOUT(store.member() && store.member()->sponsorActive, 15000);
        // The account reload that follows lists the order as paid (and leaves nothing in flight at the end).
        const auto paid = [&](const OrderSummary &order) {
            return order.orderNo == orderNo && order.status == u"paid";
        };
        QTRY_VERIFY_WITH_TIMEOUT(std::ranges::any_of(store.orders(), paid), 15000);
        QVERIFY(press(window, u"checkoutClose"_s));
        QTRY_VERIFY(!store.showCheckout());
        QTRY_VERIFY(QRegularExpression(u"^剩余 \\d+ 天$"_s).match(text(window, u"memberStatus"_s)).hasMatch());
    }
};

QTEST_MAIN(SponsorshipEndToEnd)
#include "tst_sponsorship_e2e.moc"
