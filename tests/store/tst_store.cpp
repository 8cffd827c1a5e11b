// Store against a scripted service on 127.0.0.1, with the desktop services replaced by a recording fake.
#include "Fixtures.h"
#include "ScriptedServer.h"

#include "service/Endpoint.h"
#include "service/UserDefaults.h"
#include "store/Platform.h"
#include "store/Store.h"

#include <QDir>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <QCoro/QCoroTask>

using namespace Qt::StringLiterals;
using namespace fixtures;

namespace {

class RecordingPlatform final : public Platform
{
public:
    void setClipboardText(const QString &text) override { clipboard.append(text); }
    void openUrl(const QUrl &url) override { opened.append(url); }
    void revealFile(const QString &path) override { revealed.append(path); }
    QString picturesFolder() override { return pictures; }

    QStringList clipboard;
    QList<QUrl> opened;
    QStringList revealed;
    QString pictures;
};

template <typename T>
T decode(const QJsonObject &json)
{
    QString error;
    const auto value = T::fromJson(json, &error);
    if (!value)
        qFatal("fixture does not decode: %s", qPrintable(error));
    return *value;
}

ScriptedReply json(const QJsonObject &body, int delayMs = 0)
{
    return {200, bytes(body), delayMs};
}

ScriptedReply status(int code, const QByteArray &body = {})
{
    return {code, body};
}

ScriptedReply hangUp()
{
    ScriptedReply reply;
    reply.hangUp = true;
    return reply;
}

ScriptedReply image(const QByteArray &body, int code = 200)
{
    ScriptedReply reply{code, body};
    reply.contentType = "image/jpeg";
    return reply;
}

ScriptedReply cutShort(const QByteArray &body)
{
    ScriptedReply reply = image(body);
    reply.truncate = true;
    return reply;
}

QStringList folderEntries(const QString &path)
{
    return QDir(path).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeFile(const QString &path, const QByteArray &data)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(data);
}

} // namespace

class TestStore : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ScriptedServer> m_server;
    std::unique_ptr<Store> m_store;
    RecordingPlatform m_platform;
    std::unique_ptr<QTemporaryDir> m_root;

    [[nodiscard]] QString pictures() const { return m_platform.pictures; }
    void signIn() { m_store->setHome(decode<StoreHome>(home(u"Vexlo"_s, true))); }
    void openOrder(const QString &orderNo) { m_store->setCheckout(decode<CheckoutPayload>(checkout(orderNo))); }

private Q_SLOTS:
    void init()
    {
        m_server = std::make_unique<ScriptedServer>();
        Endpoint::setBase(m_server->base());
        userDefaults()->remove(u"installedApps"_s);
        m_root = std::make_unique<QTemporaryDir>();
        m_platform = RecordingPlatform{};
        m_platform.pictures = m_root->filePath(u"Pictures"_s);
        QDir().mkpath(m_platform.pictures);
        Platform::setInstance(&m_platform);
        m_store = std::make_unique<Store>(nullptr);
    }

    void cleanup()
    {
        m_store.reset();
        Platform::setInstance(nullptr);
        m_server.reset();
    }

    void initialState()
    {
        const Store &s = *m_store;
        QVERIFY(!s.home() && !s.loading() && !s.error() && !s.toast());
        QCOMPARE(s.section(), Store::Section::discover);
        QCOMPARE(s.property("section").toString(), u"discover"_s);
        QVERIFY(!s.selectedCategory() && s.searchText().isEmpty() && !s.searchResults() && !s.searchBusy());
        QVERIFY(!s.detail() && !s.detailLoading() && !s.showLogin() && !s.wallpaperBusy());
        QVERIFY(!s.checkout() && !s.checkoutBusy() && !s.checkoutError() && !s.showCheckout());
        QVERIFY(s.orders().isEmpty() && s.downloading().isEmpty() && s.installed().isEmpty());
        QVERIFY(s.netdiskLinks().isEmpty() && !s.netdiskFor() && !s.netdiskBusy());
        QVERIFY(!s.member());
        QVERIFY(s.billingOn());
        QVERIFY(!s.property("home").isValid());
        QVERIFY(!s.property("member").isValid());
        QVERIFY(m_server->requests().isEmpty());
    }

    void installedRecords_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QStringList>("slugs");
        const QByteArray good = R"({"alpha":{"slug":"alpha","name":"A","version":"1","size":"1 MB",)"
                                R"("installedAt":700000000.5,"location":"/tmp/a.dmg"},)"
                                R"("beta":{"slug":"beta","name":"B","version":"2","size":"2 MB","installedAt":1}})";
        QByteArray oneBad = good;
        oneBad.replace(R"("version":"2")", R"("version":2)");
        QTest::newRow("good") << QVariant(good) << QStringList{u"alpha"_s, u"beta"_s};
        QTest::newRow("one bad record") << QVariant(oneBad) << QStringList{};
        QTest::newRow("not json") << QVariant(QByteArray("{")) << QStringList{};
        QTest::newRow("missing") << QVariant() << QStringList{};
    }

    void installedRecords()
    {
        QFETCH(QVariant, stored);
        QFETCH(QStringList, slugs);
        if (stored.isValid())
            userDefaults()->setValue(u"installedApps"_s, stored);
        Store store(nullptr);
        QStringList keys = store.installed().keys();
        keys.sort();
        QCOMPARE(keys, slugs);
        if (!slugs.isEmpty()) {
            const InstalledApp alpha = store.installed().value(u"alpha"_s);
            QCOMPARE(alpha.location, std::optional<QString>(u"/tmp/a.dmg"_s));
            QCOMPARE(alpha.installedAt, InstalledApp::referenceDate().addMSecs(700000000500));
            QVERIFY(!store.installed().value(u"beta"_s).location);
        }
        QVERIFY(m_server->requests().isEmpty());
    }

    void bootstrapFailureKeepsHome_data()
    {
        QTest::addColumn<ScriptedReply>("failure");
        QTest::addColumn<QString>("message");
        QTest::newRow("service message") << status(500, R"({"error":"维护中"})") << u"维护中"_s;
        QTest::newRow("no message") << status(503) << u"请求失败（503）"_s;
        QTest::newRow("undecodable") << status(200, R"({"site":1})") << u"加载失败"_s;
        QTest::newRow("transport") << hangUp() << u"加载失败"_s;
    }

    void bootstrapFailureKeepsHome()
    {
        QFETCH(ScriptedReply, failure);
        QFETCH(QString, message);
        m_server->script("GET", "/api/store/home", {json(home(u"First"_s)), failure});
        QCoro::waitFor(m_store->bootstrapTask());
        QCOMPARE(m_store->home()->site.name, u"First"_s);
        QVERIFY(!m_store->error());

        QSignalSpy loading(m_store.get(), &Store::loadingChanged);
        QCoro::waitFor(m_store->bootstrapTask());
        QCOMPARE(m_store->home()->site.name, u"First"_s);
        QCOMPARE(m_store->error(), std::optional<QString>(message));
        QVERIFY(!m_store->loading());
        QCOMPARE(loading.count(), 2);

        // A later success clears the error again.
        m_server->script("GET", "/api/store/home", json(home(u"Second"_s)));
        QCoro::waitFor(m_store->bootstrapTask());
        QCOMPARE(m_store->home()->site.name, u"Second"_s);
        QVERIFY(!m_store->error());
    }

    void memberAndBillingFollowHome()
    {
        QSignalSpy changed(m_store.get(), &Store::homeChanged);
        m_server->script("GET", "/api/store/home",
                         {json(home(u"S"_s, true, false)), json(home(u"S"_s, false)), json(home(u"S"_s, false, true))});
        QCoro::waitFor(m_store->bootstrapTask());
        QCOMPARE(m_store->member()->nickname, u"Ada"_s);
        QCOMPARE(m_store->property("member").value<StoreMember>().email, u"ada@vexlo.test"_s);
        QVERIFY(!m_store->billingOn());

        QCoro::waitFor(m_store->bootstrapTask()); // signed out, "billingEnabled" omitted
        QVERIFY(!m_store->member());
        QVERIFY(!m_store->property("member").isValid());
        QVERIFY(m_store->billingOn());

        QCoro::waitFor(m_store->bootstrapTask());
        QVERIFY(m_store->billingOn());
        QCOMPARE(changed.count(), 3);
    }

    void newerToastGetsItsOwnTime()
    {
        QElapsedTimer clock;
        clock.start();
        m_store->showToast(u"第一条"_s);
        QTest::qWait(1000);
        m_store->showToast(u"第二条"_s);
        const qint64 second = clock.elapsed();

        // Past the first toast's 3.2 s: the newer text must still be there.
        QTest::qWait(int(3200 + 300 - clock.elapsed()));
        QCOMPARE(m_store->toast(), std::optional<QString>(u"第二条"_s));
        QCOMPARE(m_store->property("toast").toString(), u"第二条"_s);

        QTRY_VERIFY_WITH_TIMEOUT(!m_store->toast(), 2000);
        QVERIFY(clock.elapsed() - second >= 3150);
    }

    void runSearch_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("target"); // empty: no request expected
        QTest::addColumn<bool>("found");
        QTest::newRow("spaces only") << u"   \n\t "_s << QByteArray() << false;
        QTest::newRow("empty") << QString() << QByteArray() << false;
        QTest::newRow("trimmed and encoded") << u"  a&b c \n"_s << QByteArray("/api/store/search?q=a&b%20c") << true;
        QTest::newRow("chinese") << u"截图"_s << QByteArray("/api/store/search?q=%E6%88%AA%E5%9B%BE") << true;
        QTest::newRow("failure clears silently") << u"fail"_s << QByteArray("/api/store/search?q=fail") << false;
    }

    void runSearch()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, target);
        QFETCH(bool, found);
        m_store->setSearchResults(decode<SearchResult>(QJsonObject{{"apps", QJsonArray{}}, {"other", QJsonArray{}}}));
        const QJsonObject hits{{"apps", QJsonArray{app(u"hit"_s)}}, {"other", QJsonArray{}}};
        m_server->script("GET", target, found ? json(hits) : status(500, R"({"error":"坏了"})"));
        QSignalSpy busy(m_store.get(), &Store::searchBusyChanged);

        QCoro::waitFor(m_store->runSearchTask(text));

        QVERIFY(!m_store->searchBusy());
        QVERIFY(!m_store->toast());
        QCOMPARE(m_server->requests().size(), target.isEmpty() ? 0 : 1);
        QCOMPARE(m_server->count("GET", target), target.isEmpty() ? 0 : 1);
        QCOMPARE(busy.count(), target.isEmpty() ? 0 : 2);
        if (found)
            QCOMPARE(m_store->searchResults()->apps.value(0).slug, u"hit"_s);
        else
            QVERIFY(!m_store->searchResults());
    }

    void openDetail_data()
    {
        QTest::addColumn<ScriptedReply>("reply");
        QTest::addColumn<QString>("toast"); // empty: success expected
        QTest::newRow("found") << json(detail(u"alpha"_s)) << QString();
        QTest::newRow("unknown with message") << status(404, R"({"error":"应用不存在"})") << u"应用不存在"_s;
        QTest::newRow("unknown without message") << status(404, "not json") << u"请求失败（404）"_s;
        QTest::newRow("transport") << hangUp() << u"无法加载应用详情"_s;
    }

    void openDetail()
    {
        QFETCH(ScriptedReply, reply);
        QFETCH(QString, toast);
        m_store->setNetdiskLinks({decode<NetdiskLink>(link(u"quark"_s, u"https://old.test"_s, {}))});
        m_store->setNetdiskFor(u"old"_s);
        m_server->script("GET", "/api/store/apps/alpha", reply);
        m_server->script("GET", "/api/store/apps/alpha/netdisk", json(netdisk(u"https://pan.test/a"_s)));

        QCoro::waitFor(m_store->openDetailTask(u"alpha"_s));

        QVERIFY(!m_store->detailLoading());
        if (toast.isEmpty()) {
            QCOMPARE(m_store->detail()->app.slug, u"alpha"_s);
            QCOMPARE(m_store->netdiskFor(), std::optional<QString>(u"alpha"_s));
            QCOMPARE(m_store->netdiskLinks().value(0).url, u"https://pan.test/a"_s);
            QVERIFY(!m_store->toast());
        } else {
            QVERIFY(!m_store->detail());
            QCOMPARE(m_store->toast(), std::optional<QString>(toast));
            QVERIFY(m_store->netdiskLinks().isEmpty());
            QVERIFY(!m_store->netdiskFor());
            QCOMPARE(m_server->count("GET", "/api/store/apps/alpha/netdisk"), 0);
        }
        QVERIFY(!m_store->netdiskBusy());
    }

    void failedLinkLoadIsNotRepeatedForTheSameApp()
    {
        const StoreApp alpha = decode<StoreApp>(app(u"alpha"_s));
        m_server->script("GET", "/api/store/apps/alpha/netdisk",
                         {status(500), json(netdisk(u"https://pan.test/a"_s))});
        m_server->script("GET", "/api/store/apps/alpha", json(detail(u"alpha"_s)));

        QCoro::waitFor(m_store->loadNetdiskTask(alpha));
        QCOMPARE(m_store->toast(), std::optional<QString>(u"请求失败（500）"_s));
        QVERIFY(m_store->netdiskLinks().isEmpty());
        QVERIFY(!m_store->netdiskBusy());

        QCoro::waitFor(m_store->loadNetdiskTask(alpha));
        QCOMPARE(m_server->count("GET", "/api/store/apps/alpha/netdisk"), 1);

        // Opening the detail page again clears netdiskFor, so the links load afresh.
        QCoro::waitFor(m_store->openDetailTask(u"alpha"_s));
        QCOMPARE(m_server->count("GET", "/api/store/apps/alpha/netdisk"), 2);
        QCOMPARE(m_store->netdiskLinks().size(), 1);
    }

    void linkReplyForAnotherAppIsDropped()
    {
        m_server->script("GET", "/api/store/apps/slow/netdisk", json(netdisk(u"https://pan.test/slow"_s), 300));
        m_server->script("GET", "/api/store/apps/fast/netdisk", json(netdisk(u"https://pan.test/fast"_s)));

        auto slow = m_store->loadNetdiskTask(decode<StoreApp>(app(u"slow"_s)));
        QCoro::waitFor(m_store->loadNetdiskTask(decode<StoreApp>(app(u"fast"_s))));
        QCOMPARE(m_store->netdiskLinks().value(0).url, u"https://pan.test/fast"_s);
        QVERIFY(!m_store->netdiskBusy());

        QCoro::waitFor(slow);
        QCOMPARE(m_store->netdiskFor(), std::optional<QString>(u"fast"_s));
        QCOMPARE(m_store->netdiskLinks().size(), 1);
        QCOMPARE(m_store->netdiskLinks().value(0).url, u"https://pan.test/fast"_s);

        // Cleared by a detail page opening meanwhile: the late reply is dropped and the spinner still stops.
        auto late = m_store->loadNetdiskTask(decode<StoreApp>(app(u"slow"_s)));
        QVERIFY(m_store->netdiskBusy());
        m_store->setNetdiskFor(std::nullopt);
        m_store->setNetdiskLinks({});
        QCoro::waitFor(late);
        QVERIFY(m_store->netdiskLinks().isEmpty());
        QVERIFY(!m_store->netdiskBusy());
    }

    void openNetdisk_data()
    {
        QTest::addColumn<QString>("provider");
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QStringList>("clipboard");
        QTest::addColumn<QString>("toast");
        QTest::addColumn<bool>("opens");
        QTest::newRow("code") << u"baidu"_s << u"https://pan.test/s/1"_s << u"abcd"_s << QStringList{u"abcd"_s}
                              << u"提取码 abcd 已复制，即将打开百度网盘"_s << true;
        QTest::newRow("empty code") << u"direct"_s << u"https://cdn.test/a.dmg"_s << QString() << QStringList{}
                                    << u"即将打开直链下载"_s << true;
        QTest::newRow("space code") << u"quark"_s << u"https://pan.test/s/2"_s << u" "_s << QStringList{u" "_s}
                                    << u"提取码   已复制，即将打开夸克网盘"_s << true;
        QTest::newRow("unknown provider") << u"Baidu"_s << u"https://pan.test/s/3"_s << QString() << QStringList{}
                                          << u"即将打开Baidu"_s << true;
        QTest::newRow("empty address") << u"baidu"_s << QString() << u"abcd"_s << QStringList{u"abcd"_s}
                                       << u"网盘地址无效"_s << false;
        QTest::newRow("local file") << u"direct"_s << u"file:///etc/passwd"_s << QString() << QStringList{}
                                    << u"网盘地址无效"_s << false;
    }

    void openNetdisk()
    {
        QFETCH(QString, provider);
        QFETCH(QString, url);
        QFETCH(QString, code);
        QFETCH(QStringList, clipboard);
        QFETCH(QString, toast);
        QFETCH(bool, opens);
        m_store->openNetdisk(QVariant::fromValue(decode<NetdiskLink>(link(provider, url, code))));
        QCOMPARE(m_platform.clipboard, clipboard);
        QCOMPARE(m_store->toast(), std::optional<QString>(toast));
        QCOMPARE(m_platform.opened, opens ? QList<QUrl>{QUrl(url)} : QList<QUrl>{});
    }

    void reveal_data()
    {
        QTest::addColumn<QString>("slug");
        QTest::addColumn<QString>("revealed"); // empty: the toast instead
        QTest::newRow("deleted file is still revealed") << u"alpha"_s << u"/nowhere/alpha.dmg"_s;
        QTest::newRow("no location") << u"beta"_s << QString();
        QTest::newRow("no record") << u"gamma"_s << QString();
    }

    void reveal()
    {
        QFETCH(QString, slug);
        QFETCH(QString, revealed);
        userDefaults()->setValue(u"installedApps"_s,
                                 QByteArray(R"({"alpha":{"slug":"alpha","name":"A","version":"1","size":"1 MB",)"
                                            R"("installedAt":0,"location":"/nowhere/alpha.dmg"},)"
                                            R"("beta":{"slug":"beta","name":"B","version":"1","size":"1 MB",)"
                                            R"("installedAt":0}})"));
        Store store(nullptr);
        store.reveal(slug);
        if (revealed.isEmpty()) {
            QVERIFY(m_platform.revealed.isEmpty());
            QCOMPARE(store.toast(), std::optional<QString>(u"该条目没有本地文件记录"_s));
        } else {
            QCOMPARE(m_platform.revealed, QStringList{revealed});
            QVERIFY(!store.toast());
        }
    }

    void startCheckout_data()
    {
        QTest::addColumn<ScriptedReply>("reply");
        QTest::addColumn<bool>("opened");
        QTest::addColumn<bool>("signIn");
        QTest::addColumn<QString>("error");
        QTest::newRow("order") << json(checkout(u"V1"_s)) << true << false << QString();
        QTest::newRow("signed out") << status(401, R"({"error":"x"})") << false << true << QString();
        QTest::newRow("needs sponsor") << status(402) << false << false << u"需要赞助会员"_s;
        QTest::newRow("service message") << status(409, R"({"error":"方案已下架"})") << false << false
                                         << u"方案已下架"_s;
        QTest::newRow("transport") << hangUp() << false << false << u"下单失败"_s;
    }

    void startCheckout()
    {
        QFETCH(ScriptedReply, reply);
        QFETCH(bool, opened);
        QFETCH(bool, signIn);
        QFETCH(QString, error);
        m_server->script("POST", "/api/store/checkout", reply);
        m_store->setCheckoutError(u"old"_s);
        StorePlan plan;
        plan.id = 3;

        QCoro::waitFor(m_store->startCheckoutTask(plan));

        QVERIFY(!m_store->checkoutBusy());
        QCOMPARE(bool(m_store->checkout()), opened);
        QCOMPARE(m_store->showLogin(), signIn);
        QCOMPARE(m_store->checkoutError(), error.isEmpty() ? std::nullopt : std::optional<QString>(error));
        const QJsonObject body = QJsonDocument::fromJson(m_server->requests().value(0).body).object();
        QCOMPARE(body, (QJsonObject{{"planId", 3}, {"payType", "wxpay"}, {"gateway", "hubijiao"}}));
        QVERIFY(body.value("planId").isDouble());
    }

    void startCheckoutFromQml()
    {
        m_server->script("POST", "/api/store/checkout", json(checkout(u"V2"_s)));
        StorePlan plan;
        plan.id = 7;
        QVERIFY(QMetaObject::invokeMethod(m_store.get(), "startCheckout", Q_ARG(QVariant, QVariant::fromValue(plan)),
                                          Q_ARG(QString, u"alipay"_s), Q_ARG(QString, u"xunhu"_s)));
        QTRY_VERIFY(m_store->checkout());
        QVERIFY(QMetaObject::invokeMethod(m_store.get(), "startCheckout", Q_ARG(QVariant, 9)));
        QTRY_COMPARE(m_server->requests().size(), 2);
        QTRY_VERIFY(!m_store->checkoutBusy());
        QCOMPARE(QJsonDocument::fromJson(m_server->requests().at(0).body).object(),
                 (QJsonObject{{"planId", 7}, {"payType", "alipay"}, {"gateway", "xunhu"}}));
        QCOMPARE(QJsonDocument::fromJson(m_server->requests().at(1).body).object(),
                 (QJsonObject{{"planId", 9}, {"payType", "wxpay"}, {"gateway", "hubijiao"}}));
    }

    void pollCheckout_data()
    {
        QTest::addColumn<ScriptedReply>("reply");
        QTest::addColumn<bool>("paid");
        QTest::newRow("paid") << json(orderStatus(u"V1"_s, u"paid"_s)) << true;
        QTest::newRow("letter case differs") << json(orderStatus(u"V1"_s, u"Paid"_s)) << false;
        QTest::newRow("pending") << json(orderStatus(u"V1"_s, u"pending"_s)) << false;
        QTest::newRow("no order") << json(QJsonObject{{"order", QJsonValue::Null}, {"orders", QJsonArray{}}}) << false;
        QTest::newRow("failure") << status(500, R"({"error":"x"})") << false;
    }

    void pollCheckout()
    {
        QFETCH(ScriptedReply, reply);
        QFETCH(bool, paid);
        signIn();
        openOrder(u"V1"_s);
        m_server->script("GET", "/api/store/orders?order=V1", reply);
        m_server->script("GET", "/api/store/home", json(home(u"Paid"_s, true)));
        m_server->script("GET", "/api/store/orders", json(account({u"V1"_s})));

        QCoro::waitFor(m_store->pollCheckoutTask());

        QCOMPARE(m_server->count("GET", "/api/store/orders?order=V1"), 1);
        if (paid) {
            QCOMPARE(m_store->toast(), std::optional<QString>(u"支付成功，赞助已生效"_s));
            QVERIFY(!m_store->checkout());
            QCOMPARE(m_store->home()->site.name, u"Paid"_s);
            QCOMPARE(m_store->orders().value(0).orderNo, u"V1"_s);
        } else {
            QVERIFY(!m_store->toast());
            QCOMPARE(m_store->checkout()->orderNo, u"V1"_s);
            QCOMPARE(m_server->requests().size(), 1);
            QVERIFY(!m_store->checkoutError());
        }
    }

    void pollWithoutOrderMakesNoRequest()
    {
        QCoro::waitFor(m_store->pollCheckoutTask());
        QCoro::waitFor(m_store->mockPayTask());
        QVERIFY(m_server->requests().isEmpty());
        QVERIFY(!m_store->checkoutBusy());
    }

    void mockPayToastComesBeforeTheReload()
    {
        signIn();
        openOrder(u"V1"_s);
        m_server->script("POST", "/api/store/orders", json(QJsonObject{{"ok", true}}));
        m_server->script("GET", "/api/store/home", json(home(u"Sponsoring"_s, true), 300));
        m_server->script("GET", "/api/store/orders", json(account({u"V1"_s})));
        QStringList events;
        connect(m_store.get(), &Store::toastChanged, this, [&] { events << u"toast"_s; });
        connect(m_store.get(), &Store::checkoutChanged, this, [&] { events << u"checkout"_s; });
        connect(m_store.get(), &Store::homeChanged, this, [&] { events << u"home"_s; });
        connect(m_store.get(), &Store::ordersChanged, this, [&] { events << u"orders"_s; });
        connect(m_store.get(), &Store::checkoutBusyChanged, this, [&] {
            events << (m_store->checkoutBusy() ? u"busy"_s : u"idle"_s);
        });

        QCoro::waitFor(m_store->mockPayTask());

        QCOMPARE(events, (QStringList{u"busy"_s, u"toast"_s, u"checkout"_s, u"home"_s, u"orders"_s, u"idle"_s}));
        QCOMPARE(QJsonDocument::fromJson(m_server->requests().value(0).body).object(),
                 (QJsonObject{{"orderNo", "V1"}}));
    }

    void mockPayFailure_data()
    {
        QTest::addColumn<ScriptedReply>("reply");
        QTest::addColumn<QString>("error");
        QTest::newRow("service message") << status(400, R"({"error":"沙箱关闭"})") << u"沙箱关闭"_s;
        QTest::newRow("transport") << hangUp() << u"模拟支付失败"_s;
    }

    void mockPayFailure()
    {
        QFETCH(ScriptedReply, reply);
        QFETCH(QString, error);
        openOrder(u"V1"_s);
        m_server->script("POST", "/api/store/orders", reply);
        QCoro::waitFor(m_store->mockPayTask());
        QCOMPARE(m_store->checkoutError(), std::optional<QString>(error));
        QVERIFY(!m_store->checkoutBusy());
        QVERIFY(m_store->checkout());
        QVERIFY(!m_store->toast());
    }

    void loadAccount()
    {
        m_server->script("GET", "/api/store/orders", {json(account({u"A"_s, u"B"_s})), status(500)});
        QCoro::waitFor(m_store->loadAccountTask()); // no home yet
        QVERIFY(m_server->requests().isEmpty());

        signIn();
        QCoro::waitFor(m_store->loadAccountTask());
        QCOMPARE(m_store->orders().size(), 2);
        QCoro::waitFor(m_store->loadAccountTask()); // failure keeps the list
        QCOMPARE(m_store->orders().size(), 2);

        m_store->setHome(decode<StoreHome>(home(u"Signed out"_s)));
        QCoro::waitFor(m_store->loadAccountTask());
        QVERIFY(m_store->orders().isEmpty());
        QCOMPARE(m_server->requests().size(), 2);
    }

    // --- wallpapers ---

    void secondWallpaperFetchIsIgnored()
    {
        m_server->script("POST", "/api/store/wallpapers",
                         json(QJsonObject{{"ok", true}, {"path", "/files/a.jpg"}, {"resolution", "4K"}}, 300));
        m_server->script("GET", "/files/a.jpg", image("image-a", 200));
        auto first = m_store->downloadWallpaperTask(decode<StoreWallpaper>(wallpaper(u"a"_s)), false);
        QCOMPARE(m_store->wallpaperBusy(), std::optional<QString>(u"a"_s));
        QSignalSpy toasts(m_store.get(), &Store::toastChanged);

        QCoro::waitFor(m_store->downloadWallpaperTask(decode<StoreWallpaper>(wallpaper(u"b"_s)), true));
        QCoro::waitFor(m_store->downloadWallpaperTask(decode<StoreWallpaper>(wallpaper(u"a"_s)), true));
        QCOMPARE(m_store->wallpaperBusy(), std::optional<QString>(u"a"_s));
        QCOMPARE(toasts.count(), 0);

        QCoro::waitFor(first);
        QCOMPARE(m_server->count("POST", "/api/store/wallpapers"), 1);
        QVERIFY(!m_store->wallpaperBusy());
        QCOMPARE(m_store->toast(), std::optional<QString>(u"已保存 4K 到「图片」"_s));
    }

    void wallpaperFailures_data()
    {
        QTest::addColumn<ScriptedReply>("request");
        QTest::addColumn<ScriptedReply>("file");
        QTest::addColumn<QString>("toast");
        QTest::addColumn<bool>("toMembership");
        const ScriptedReply ok = json(QJsonObject{{"path", "/files/w.jpg"}, {"resolution", "5K"}});
        const ScriptedReply picture = image(QByteArray(4096, 'n'));
        QTest::newRow("needs sponsor") << status(402, R"({"error":"x"})") << picture << u"5K 原图需要赞助会员"_s << true;
        QTest::newRow("service message") << status(500, R"({"error":"存储故障"})") << picture << u"存储故障"_s
                                         << false;
        QTest::newRow("no path") << json(QJsonObject{{"ok", false}}) << picture << u"下载地址无效"_s << false;
        QTest::newRow("file 206") << ok << image("part", 206)
                                  << u"原图下载失败"_s << false;
        QTest::newRow("file 304") << ok << status(304) << u"原图下载失败"_s << false;
        QTest::newRow("file 404") << ok << status(404, "gone") << u"原图下载失败"_s << false;
        QTest::newRow("file transport") << ok << hangUp() << u"下载失败"_s << false;
        QTest::newRow("file cut short") << ok << cutShort(QByteArray(65536, 'n'))
                                        << u"下载失败"_s << false;
    }

    // Every failure leaves the picture saved earlier untouched and no temporary file behind.
    void wallpaperFailures()
    {
        QFETCH(ScriptedReply, request);
        QFETCH(ScriptedReply, file);
        QFETCH(QString, toast);
        QFETCH(bool, toMembership);
        const QString target = QDir(pictures()).filePath(u"Vexlo-w.jpg"_s);
        writeFile(target, "old picture");
        m_server->script("POST", "/api/store/wallpapers", request);
        m_server->script("GET", "/files/w.jpg", file);

        QCoro::waitFor(m_store->downloadWallpaperTask(decode<StoreWallpaper>(wallpaper(u"w"_s)), true));

        QCOMPARE(m_store->toast(), std::optional<QString>(toast));
        QCOMPARE(m_store->section(), toMembership ? Store::Section::member : Store::Section::discover);
        QVERIFY(!m_store->wallpaperBusy());
        QCOMPARE(readFile(target), QByteArray("old picture"));
        QCOMPARE(folderEntries(pictures()), QStringList{u"Vexlo-w.jpg"_s});
        QVERIFY(m_platform.revealed.isEmpty());
        const QJsonObject body = QJsonDocument::fromJson(m_server->requests().value(0).body).object();
        QCOMPARE(body, (QJsonObject{{"slug", "w"}, {"size", "full"}}));
    }

    void savedWithoutResolution()
    {
        m_server->script("POST", "/api/store/wallpapers", json(QJsonObject{{"path", "/files/w.jpg"}}));
        m_server->script("GET", "/files/w.jpg", image("jpeg bytes", 200));
        QCoro::waitFor(m_store->downloadWallpaperTask(decode<StoreWallpaper>(wallpaper(u"w"_s)), false));
        QCOMPARE(m_store->toast(), std::optional<QString>(u"已保存  到「图片」"_s));
        const QString target = QDir(pictures()).filePath(u"Vexlo-w.jpg"_s);
        QCOMPARE(readFile(target), QByteArray("jpeg bytes"));
        QCOMPARE(m_platform.revealed, QStringList{target});
        QVERIFY(!m_store->wallpaperBusy());
    }

    void previewThenFullLeavesOneFile()
    {
        const QByteArray preview(200 * 1024, 'p');
        const QByteArray full(900 * 1024, 'f');
        m_server->script("POST", "/api/store/wallpapers",
                         {json(QJsonObject{{"path", "/files/w-4k.jpg"}, {"resolution", "4K"}}),
                          json(QJsonObject{{"path", "/files/w-5k.png"}, {"resolution", "5K"}})});
        m_server->script("GET", "/files/w-4k.jpg", image(preview, 200));
        m_server->script("GET", "/files/w-5k.png", image(full, 200));
        const StoreWallpaper w = decode<StoreWallpaper>(wallpaper(u"w"_s));

        QCoro::waitFor(m_store->downloadWallpaperTask(w, false));
        QCoro::waitFor(m_store->downloadWallpaperTask(w, true));

        QCOMPARE(folderEntries(pictures()), QStringList{u"Vexlo-w.jpg"_s});
        QVERIFY(readFile(QDir(pictures()).filePath(u"Vexlo-w.jpg"_s)) == full);
        QCOMPARE(m_store->toast(), std::optional<QString>(u"已保存 5K 到「图片」"_s));
        QCOMPARE(m_platform.revealed.size(), 2);
    }

    void unsafeSlugWritesNothing_data()
    {
        QTest::addColumn<QString>("slug");
        QTest::newRow("parent traversal") << u"../../evil"_s;
        QTest::newRow("separator") << u"a/b"_s;
        QTest::newRow("backslash") << u"a\\b"_s;
        QTest::newRow("dot dot") << u".."_s;
        QTest::newRow("dot") << u"."_s;
        QTest::newRow("control character") << u"a\nb"_s;
        QTest::newRow("empty") << QString();
    }

    void unsafeSlugWritesNothing()
    {
        QFETCH(QString, slug);
        QJsonObject w = wallpaper(u"x"_s);
        w.insert("slug", slug);
        m_server->script("POST", "/api/store/wallpapers", json(QJsonObject{{"path", "/files/x.jpg"}}));
        m_server->script("GET", "/files/x.jpg", image("bytes", 200));

        QCoro::waitFor(m_store->downloadWallpaperTask(decode<StoreWallpaper>(w), false));

        QCOMPARE(m_store->toast(), std::optional<QString>(u"下载失败"_s));
        QVERIFY(!m_store->wallpaperBusy());
        QVERIFY(m_server->requests().isEmpty());
        QVERIFY(folderEntries(pictures()).isEmpty());
        QCOMPARE(folderEntries(m_root->path()), QStringList{});
    }

    void unwritableFolderFails()
    {
        m_platform.pictures = m_root->filePath(u"missing/deeper"_s);
        m_server->script("POST", "/api/store/wallpapers", json(QJsonObject{{"path", "/files/w.jpg"}}));
        m_server->script("GET", "/files/w.jpg", image("bytes", 200));
        QCoro::waitFor(m_store->downloadWallpaperTask(decode<StoreWallpaper>(wallpaper(u"w"_s)), false));
        QCOMPARE(m_store->toast(), std::optional<QString>(u"下载失败"_s));
        QVERIFY(!m_store->wallpaperBusy());
    }

    void storeGoneWhileWaiting()
    {
        m_server->script("GET", "/api/store/home", json(home(u"Late"_s), 200));
        auto task = m_store->bootstrapTask();
        m_store.reset();
        QCoro::waitFor(task); // must neither crash nor touch the deleted Store
    }
};

QTEST_GUILESS_MAIN(TestStore)
#include "tst_store.moc"
