// Sign-in sheet, membership page and checkout sheet over a Store and a scripted store service: the sign-in
// rules, plan period texts, the order view, polling and where the QR code may come from.
#include "screens/account/CheckoutFlow.h"
#include "screens/account/QrCodeImage.h"
#include "service/CatalogRecords.h"
#include "service/CommerceRecords.h"
#include "service/Endpoint.h"
#include "store/Store.h"

#include <QBuffer>
#include <QImage>
#include <QJsonArray>
#include <QQuickItem>
#include <QQuickWindow>
#include <QRegularExpression>
#include <QtTest>

#include "../store/StoreJson.h"
#include "Fixtures.h"
#include "ItemQuery.h"
#include "ScriptedServer.h"
#include "ScreenEngine.h"

#include "vexlo_qml_plugins.h"

using namespace Qt::StringLiterals;
using namespace ItemQuery;

namespace {

// An order whose QR code the scripted service serves.
QJsonObject order(const QString &orderNo, const QString &payType, bool live, double amount = 128)
{
    QJsonObject order = fixtures::checkout(orderNo);
    order[u"payType"_s] = payType;
    order[u"live"_s] = live;
    order[u"amount"_s] = amount;
    order[u"qr"_s] = u"/api/store/qr/"_s + orderNo;
    return order;
}

QByteArray png()
{
    QImage image(21, 21, QImage::Format_Mono);
    image.fill(0);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    image.save(&buffer, "PNG"); // opens the buffer
    return bytes;
}

} // namespace

class AccountTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ScriptedServer> m_server;
    std::unique_ptr<ScreenEngine> m_screens;
    std::unique_ptr<QQuickWindow> m_window;
    QJsonObject m_home;

    void setHome(const std::function<void(QJsonObject &)> &edit = {}) { m_screens->store.setHome(homeFixture(edit)); }

    // Loads a screen of the account module into a shown window, so keys reach it. A window that is not shown stops
    // the test.
    QQuickItem *show(const QString &file)
    {
        auto *item = m_screens->load<QQuickItem>(u"Account/"_s + file).release();
        m_window = std::make_unique<QQuickWindow>();
        m_window->resize(1000, 900);
        item->setParentItem(m_window->contentItem());
        item->setParent(m_window.get());
        if (item->width() == 0)
            item->setSize(QSizeF(1000, 900));
        m_window->show();
        if (!QTest::qWaitForWindowExposed(m_window.get()))
            qFatal("the window for %s is not shown", qPrintable(file));
        item->forceActiveFocus();
        return item;
    }

private Q_SLOTS:
    void initTestCase() { m_home = readJson(u"home.json"_s); }

    void init()
    {
        QTest::failOnWarning(QRegularExpression(u"qrc:/qt/qml/Vexlo/"_s));
        m_server = std::make_unique<ScriptedServer>();
        Endpoint::setBase(m_server->base());
        m_screens = std::make_unique<ScreenEngine>();
    }

    void cleanup()
    {
        m_window.reset();
        m_screens.reset();
        m_server.reset();
    }

    // Neither the button nor Return signs in while a field is empty; a refusal keeps the sheet with the reason.
    void signIn_data()
    {
        QTest::addColumn<QString>("email");
        QTest::addColumn<QString>("password");
        QTest::addColumn<int>("code"); // 0: the connection drops without a reply
        QTest::addColumn<QString>("error"); // empty: signed in
        const QString email = u"member@vexlo.test"_s;
        QTest::newRow("no password") << email << QString() << 200 << QString();
        QTest::newRow("no email") << QString() << u"secret"_s << 200 << QString();
        QTest::newRow("refused with a message") << email << u"secret"_s << 403 << u"邮箱或密码错误"_s;
        QTest::newRow("no reply: fallback text") << email << u"secret"_s << 0 << u"登录失败"_s;
        QTest::newRow("signed in") << email << u"secret"_s << 200 << QString();
    }

    void signIn()
    {
        QFETCH(QString, email);
        QFETCH(QString, password);
        QFETCH(int, code);
        QFETCH(QString, error);
        ScriptedReply reply = code == 0 ? hangUp()
            : code == 200               ? json({{u"ok"_s, true}, {u"role"_s, u"member"_s}})
                                        : status(code, QJsonDocument(QJsonObject{{u"error"_s, error}}).toJson());
        m_server->script("POST", "/api/auth/login", reply);
        m_server->script("GET", "/api/store/home", json(m_home));
        QQuickItem *sheet = show(u"LoginSheet.qml"_s);
        QSignalSpy closed(sheet, SIGNAL(closeRequested()));
        one(sheet, u"emailField"_s)->setProperty("text", email);
        one(sheet, u"passwordField"_s)->setProperty("text", password);
        const bool filled = !email.isEmpty() && !password.isEmpty();
        QCOMPARE(one(sheet, u"loginSubmit"_s)->property("enabled").toBool(), filled);
        QTest::keyClick(m_window.get(), Qt::Key_Return);
        if (!filled) {
            QTest::qWait(50);
            QCOMPARE(m_server->count("POST", "/api/auth/login"), 0);
            return;
        }
        QVERIFY(!one(sheet, u"loginSubmit"_s)->property("enabled").toBool()); // busy
        if (error.isEmpty()) {
            QVERIFY(closed.wait());
            QVERIFY(m_screens->store.member()); // the store was reloaded before the sheet went
            QCOMPARE(m_server->count("GET", "/api/store/home"), 1);
        } else {
            QTRY_COMPARE(text(sheet, u"loginError"_s), error);
            QVERIFY(shown(sheet, u"loginError"_s));
            QCOMPARE(closed.count(), 0);
            QCOMPARE(text(sheet, u"emailField"_s), email);
            QVERIFY(one(sheet, u"loginSubmit"_s)->property("enabled").toBool());
        }
    }

    void planPeriods_data()
    {
        QTest::addColumn<int>("days");
        QTest::addColumn<double>("price");
        QTest::addColumn<QString>("pagePrice");
        QTest::addColumn<QString>("pagePeriod");
        QTest::addColumn<QString>("pickerLength");
        QTest::newRow("36500 days") << 36500 << 298.0 << u"¥298"_s << u"/ 永久"_s << u"长期有效"_s;
        QTest::newRow("more than 36500") << 40000 << 298.0 << u"¥298"_s << u"/ 永久"_s << u"长期有效"_s;
        QTest::newRow("90 days, rounding noise dropped") << 90 << 45.0000001 << u"¥45"_s << u"/ 季"_s << u"90 天"_s;
        QTest::newRow("30 days, cents kept") << 30 << 9.9 << u"¥9.9"_s << u"/ 月"_s << u"30 天"_s;
        QTest::newRow("180 days, two decimals") << 180 << 68.25 << u"¥68.25"_s << u"/ 年"_s << u"180 天"_s;
    }

    // The same plan on the membership page and in the checkout picker.
    void planPeriods()
    {
        QFETCH(int, days);
        QFETCH(double, price);
        QFETCH(QString, pagePrice);
        QFETCH(QString, pagePeriod);
        QFETCH(QString, pickerLength);
        setHome([&](QJsonObject &home) {
            QJsonObject plan = home[u"plans"_s].toArray().first().toObject();
            plan[u"days"_s] = days;
            plan[u"price"_s] = price;
            home[u"plans"_s] = QJsonArray{plan};
        });
        QQuickItem *page = show(u"MemberView.qml"_s);
        QCOMPARE(text(page, u"planPrice"_s), pagePrice);
        QCOMPARE(text(page, u"planPeriod"_s), pagePeriod);
        QCOMPARE(text(page, u"planButton"_s), u"赞助 "_s + pagePrice);

        QQuickItem *sheet = show(u"CheckoutSheet.qml"_s);
        QCOMPARE(text(sheet, u"planRowPrice"_s), pagePrice);
        QCOMPARE(text(sheet, u"planRowLength"_s), pickerLength);
    }

    // The membership page, the sidebar's footer, the account chip, the greeting and the checkout sheet follow the
    // account.
    void pagesFollowTheAccount_data()
    {
        QTest::addColumn<QJsonValue>("member");
        QTest::addColumn<QString>("status"); // on the membership page; empty: signed out
        QTest::addColumn<QString>("footer"); // the sidebar's sponsor status; empty: the unlock button instead
        QTest::newRow("signed out") << QJsonValue() << QString() << QString();
        QTest::newRow("not sponsoring") << QJsonValue(m_home[u"member"_s]) << u"未赞助"_s << QString();
        QJsonObject active = m_home[u"member"_s].toObject();
        active[u"sponsorActive"_s] = true;
        active[u"daysLeft"_s] = 12;
        QTest::newRow("sponsoring") << QJsonValue(active) << u"剩余 12 天"_s << u"赞助有效 剩余 12 天"_s;
        active[u"forever"_s] = true;
        QTest::newRow("for good") << QJsonValue(active) << u"终身赞助"_s << u"终身赞助者 已解锁全部软件"_s;
    }

    void pagesFollowTheAccount()
    {
        QFETCH(QJsonValue, member);
        QFETCH(QString, status);
        QFETCH(QString, footer);
        Store &store = m_screens->store;
        setHome([&](QJsonObject &home) {
            home[u"wallpapers"_s] = QJsonArray{}; // the scripted service has no pictures
            if (member.isObject())
                home[u"member"_s] = member;
            else
                home.remove(u"member"_s);
        });
        const QVariantMap size{{u"width"_s, 1000}, {u"height"_s, 900}, {u"hour"_s, 9}};
        auto sidebar = m_screens->load(u"Window/SidebarView.qml"_s, size);
        auto chip = m_screens->load(u"Window/AccountChip.qml"_s);
        auto discover = m_screens->load(u"Catalog/DiscoverView.qml"_s, size);
        auto checkout = m_screens->load(u"Account/CheckoutSheet.qml"_s, size);
        QQuickItem *page = show(u"MemberView.qml"_s);
        const bool signedIn = !status.isEmpty();
        QCOMPARE(shown(page, u"signedOutCard"_s), !signedIn);
        QCOMPARE(shown(page, u"signedInCard"_s), signedIn);
        if (signedIn)
            QCOMPARE(text(page, u"memberStatus"_s), status);
        QCOMPARE(shown(sidebar.get(), u"sponsorStatus"_s), !footer.isEmpty());
        QCOMPARE(shown(sidebar.get(), u"unlockButton"_s), footer.isEmpty());
        if (!footer.isEmpty())
            QCOMPARE(text(sidebar.get(), u"sponsorTitle"_s) + u' ' + text(sidebar.get(), u"sponsorDetail"_s), footer);
        QCOMPARE(text(chip.get(), u"accountLabel"_s), signedIn ? u"小林"_s : u"登录"_s);
        QCOMPARE(shown(chip.get(), u"sponsorDot"_s), signedIn);
        QCOMPARE(text(one(discover.get(), u"discoverHeader"_s), u"pageTitle"_s),
                 signedIn ? u"早上好，小林"_s : u"早上好，今天值得装点什么"_s);
        QCOMPARE(shown(discover.get(), u"sponsorStrip"_s), status == u"未赞助"_s);
        QCOMPARE(shown(checkout.get(), u"checkoutSignIn"_s), !signedIn); // instead of the plans
        QCOMPARE(shown(checkout.get(), u"planPicker"_s), signedIn);

        // The chip signs in or shows the membership; so do the page's sign-in and the unlock button.
        store.setSection(Store::Section::top);
        QVERIFY(press(chip.get(), u"accountChip"_s));
        QCOMPARE(store.showLogin(), !signedIn);
        QCOMPARE(store.section() == Store::Section::member, signedIn);
        store.setShowLogin(false);
        store.setSection(Store::Section::top);
        QCOMPARE(press(page, u"memberLogin"_s) && store.showLogin(), !signedIn);
        store.setShowLogin(false);
        QCOMPARE(press(checkout.get(), u"checkoutLogin"_s) && store.showLogin(), !signedIn);
        QCOMPARE(press(sidebar.get(), u"unlockButton"_s) && store.section() == Store::Section::member,
                 footer.isEmpty());

        // The yearly plan's button opens the sheet and orders with the defaults.
        m_server->script("POST", "/api/store/checkout", json(order(u"A1"_s, u"wxpay"_s, false)));
        const QList<QObject *> cards = all(page, u"planCard"_s);
        const auto yearly =
            std::ranges::find_if(cards, [](QObject *card) { return card->property("highlighted").toBool(); });
        QVERIFY(yearly != cards.end() && press(*yearly, u"planButton"_s));
        QVERIFY(m_screens->store.showCheckout());
        QTRY_COMPARE(m_server->count("POST", "/api/store/checkout"), 1);
        const auto post = std::ranges::find(m_server->requests, QByteArray("POST"), &RecordedRequest::method);
        QCOMPARE(QJsonDocument::fromJson(post->body).object(),
                 (QJsonObject{{u"planId"_s, 2}, {u"payType"_s, u"wxpay"_s}, {u"gateway"_s, u"hubijiao"_s}}));
    }

    // The member's orders load with the page and show newest first with readable status and pay type; without
    // orders the list says so.
    void memberOrders_data()
    {
        QTest::addColumn<QJsonArray>("orders");
        QTest::addColumn<QStringList>("rows"); // number · status · pay type, top to bottom
        const auto summary = [](const char *no, const char *status, const char *payType, const char *created) {
            return QJsonObject{{u"orderNo"_s, no},       {u"planName"_s, u"年度赞助"_s}, {u"amount"_s, 128},
                               {u"status"_s, status},    {u"gateway"_s, u"hubijiao"_s},  {u"payType"_s, payType},
                               {u"createdAt"_s, created}};
        };
        QTest::newRow("none") << QJsonArray{} << QStringList{};
        QTest::newRow("newest first across offsets")
            << QJsonArray{summary("A1", "paid", "wxpay", "2026-01-02T10:00:00Z"),
                          summary("A3", "closed", "card", "2026-03-01T09:00:00+08:00"),
                          summary("A2", "pending", "alipay", "2026-03-01T02:00:00Z")}
            << QStringList{u"A2 待支付 支付宝"_s, u"A3 closed card"_s, u"A1 已支付 微信"_s};
    }

    void memberOrders()
    {
        QFETCH(QJsonArray, orders);
        QFETCH(QStringList, rows);
        m_server->script("GET", "/api/store/orders", json({{u"order"_s, QJsonValue::Null}, {u"orders"_s, orders}}));
        setHome();
        QQuickItem *page = show(u"MemberView.qml"_s);
        QTRY_COMPARE(m_server->count("GET", "/api/store/orders"), 1);
        QTRY_COMPARE(m_screens->store.orders().size(), orders.size());
        QCOMPARE(shown(page, u"ordersEmpty"_s), rows.isEmpty());
        QStringList seen;
        const QStringList numbers = texts(page, u"orderNumber"_s), status = texts(page, u"orderStatus"_s),
                          pay = texts(page, u"orderPayType"_s);
        for (qsizetype i = 0; i < numbers.size(); ++i)
            seen << numbers[i].mid(4) + u' ' + status[i] + u' ' + pay[i];
        QCOMPARE(seen, rows);
    }

    void orderView_data()
    {
        QTest::addColumn<QString>("chip");
        QTest::addColumn<QString>("payloadPayType");
        QTest::addColumn<bool>("live");
        QTest::addColumn<double>("amount");
        QTest::addColumn<QString>("prompt");
        QTest::addColumn<QString>("amountText");
        QTest::newRow("sandbox, alipay chosen and answered")
            << u"alipay"_s << u"alipay"_s << false << 128.0 << u"请使用支付宝扫码支付"_s << u"¥128.00 · 年度"_s;
        QTest::newRow("live, the payload's pay type, not the chip")
            << u"alipay"_s << u"wxpay"_s << true << 9.9 << u"请使用微信扫码支付"_s << u"¥9.90 · 年度"_s;
    }

    // Choosing a plan in the picker orders it with the chips' choices and shows the order as the service says.
    void orderView()
    {
        QFETCH(QString, chip);
        QFETCH(QString, payloadPayType);
        QFETCH(bool, live);
        QFETCH(double, amount);
        QFETCH(QString, prompt);
        QFETCH(QString, amountText);
        setHome();
        m_server->script("POST", "/api/store/checkout", json(order(u"B7"_s, payloadPayType, live, amount)));
        m_server->script("GET", "/api/store/qr/B7", ScriptedReply{.body = png(), .contentType = "image/png"});
        QQuickItem *sheet = show(u"CheckoutSheet.qml"_s);
        QVERIFY(press(sheet, u"payType_"_s + chip));
        QVERIFY(press(sheet, u"gatewayToggle"_s));
        QVERIFY(press(all(sheet, u"planRow"_s).at(1), u"planRow"_s));
        QTRY_VERIFY(shown(sheet, u"orderView"_s));
        QCOMPARE(QJsonDocument::fromJson(m_server->requests.first().body).object(),
                 (QJsonObject{{u"planId"_s, 2}, {u"payType"_s, chip}, {u"gateway"_s, u"xunhu"_s}}));

        QVERIFY(!shown(sheet, u"planPicker"_s));
        QCOMPARE(text(sheet, u"orderPrompt"_s), prompt);
        QCOMPARE(text(sheet, u"orderAmount"_s), amountText);
        QCOMPARE(shown(sheet, u"mockPay"_s), !live);
        QCOMPARE(text(sheet, u"orderStatus"_s), live ? u"等待支付结果…"_s : u"沙箱模式：可直接模拟支付"_s);
        QTRY_VERIFY(one(sheet, u"qrCode"_s)->property("loaded").toBool());
    }

    void qrOnlyFromTheService_data()
    {
        QTest::addColumn<QString>("qr");
        QTest::addColumn<bool>("fetched");
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("service path") << u"/api/store/qr/C1"_s << true << QByteArray("not an image");
        QTest::newRow("other host") << u"http://pay.example/qr.png"_s << false << QByteArray();
        QTest::newRow("user-info trick") << u"@pay.example/qr.png"_s << false << QByteArray();
        QTest::newRow("other scheme") << u"file:///etc/passwd"_s << false << QByteArray();
        QTest::newRow("empty") << QString() << false << QByteArray();
        // A real picture followed by 50 MB: refused by its length, never read (it would decode).
        QTest::newRow("50 MB picture") << u"/api/store/qr/C1"_s << true << png() + QByteArray(50 << 20, '\0');
    }

    void qrOnlyFromTheService()
    {
        QFETCH(QString, qr);
        QFETCH(bool, fetched);
        QFETCH(QByteArray, body);
        QCOMPARE(QrCodeImage::serviceAddress(qr).has_value(), fetched);
        m_server->script("GET", "/api/store/qr/C1", ScriptedReply{.body = body, .contentType = "image/png"});
        auto view = m_screens->load(u"Account/QRCodeView.qml"_s, {{u"qr"_s, qr}, {u"size"_s, 168}});
        QTest::qWait(body.size() > (1 << 20) ? 3000 : 100); // long enough to read a large body
        QCOMPARE(m_server->requests.size(), fetched ? 1 : 0);
        // Bytes that are no image leave the placeholder, as does any address off the service.
        QVERIFY(!view->property("loaded").toBool());
        QVERIFY(shown(view.get(), u"qrPlaceholder"_s));
    }

    void pollingEnds_data()
    {
        QTest::addColumn<QString>("ending");
        QTest::newRow("paid") << u"paid"_s;
        QTest::newRow("sheet closed") << u"closed"_s;
        QTest::newRow("closed while a paid answer is on its way") << u"late"_s;
    }

    void pollingEnds()
    {
        QFETCH(QString, ending);
        setHome();
        const QByteArray statusPath = "/api/store/orders?order=P9";
        // The late answer is held long enough for the sheet to close before it comes; a closed sheet's polls
        // are spaced out so the one poll made before closing can be seen under load.
        const int lateDelay = ending == u"late"_s ? 600 : 0;
        m_server->script(
            "GET", statusPath,
            {json(fixtures::orderStatus(u"P9"_s, u"pending"_s)),
             json(fixtures::orderStatus(u"P9"_s, ending == u"closed"_s ? u"pending"_s : u"paid"_s), lateDelay)});
        m_server->script("GET", "/api/store/home", json(m_home));
        m_server->script("GET", "/api/store/orders", json({{u"orders"_s, QJsonArray{}}}));
        m_server->script("GET", "/api/store/qr/P9", status(404));
        m_screens->store.setShowCheckout(true);
        QQuickItem *sheet = show(u"CheckoutSheet.qml"_s);
        auto *flow = qobject_cast<CheckoutFlow *>(sheet->property("flow").value<QObject *>());
        QVERIFY(flow);
        flow->setPollInterval(ending == u"closed"_s ? 1000 : 20);
        QSignalSpy closed(sheet, SIGNAL(closeRequested()));
        m_screens->store.setCheckout(decode<CheckoutPayload>(order(u"P9"_s, u"wxpay"_s, false)));
        QVERIFY(flow->polling()); // an order appearing while the sheet is open is polled

        if (ending == u"paid"_s) {
            QTRY_VERIFY(!m_screens->store.checkout());
            QTRY_VERIFY(!flow->polling());
        } else {
            QTRY_COMPARE(m_server->count("GET", statusPath), ending == u"late"_s ? 2 : 1);
            QVERIFY(press(sheet, u"orderCancel"_s));
            QCOMPARE(closed.count(), 1);
            QVERIFY(!flow->polling());
            m_screens->store.setShowCheckout(false);
        }
        const int polls = m_server->count("GET", statusPath);
        QTest::qWait(lateDelay + 250);
        QCOMPARE(m_server->count("GET", statusPath), polls);
        QVERIFY(!m_screens->store.checkout());
        QVERIFY(shown(sheet, u"planPicker"_s) || closed.count() == 1);
        QCOMPARE(m_screens->store.showCheckout(), ending == u"paid"_s);
    }
};

QTEST_MAIN(AccountTest)
#include "tst_account.moc"
