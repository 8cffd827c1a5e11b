// Store against a scripted service on 127.0.0.1, with the desktop services replaced by a recording fake.
#include "Fixtures.h"
#include "RecordingPlatform.h"
#include "ScriptedServer.h"
#include "StoreJson.h"

#include "service/Endpoint.h"
#include "service/UserDefaults.h"
#include "store/HomeCache.h"
#include "store/Store.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <QCoro/QCoroTask>

using namespace Qt::StringLiterals;
using namespace fixtures;

namespace {

ScriptedReply image(const QByteArray &body, int code = 200)
{
    return {.status = code, .body = body, .contentType = "image/jpeg"};
}

// A picture the client accepts: a gradient of the given width encoded as format ("JPG" or "PNG").
QByteArray encodedPicture(int width, const char *format = "JPG")
{
    QImage image(width, width / 2, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x % 256, y % 256, (x * y) % 256));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// An optional text as compared in these tests: absent is "<none>".
QString shown(const std::optional<QString> &text)
{
    return text.value_or(u"<none>"_s);
}

QStringList folderEntries(const QString &path)
{
    return QDir(path).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

const QByteArray kInstalled = R"({"alpha":{"slug":"alpha","name":"A","version":"1","size":"1 MB",)"
                              R"("installedAt":700000000.5,"location":"/nowhere/a.dmg"},)"
                              R"("beta":{"slug":"beta","name":"B","version":"2","size":"2 MB","installedAt":1}})";

} // namespace

class TestStore : public QObject
{
    Q_OBJECT

    std::unique_ptr<ScriptedServer> m_server;
    std::unique_ptr<Store> m_store;
    RecordingPlatform m_platform;
    std::unique_ptr<QTemporaryDir> m_root;

    void signIn() { m_store->setHome(decode<StoreHome>(home(u"Vexlo"_s, member()))); }
    void openOrder() { m_store->setCheckout(decode<CheckoutPayload>(checkout(u"V1"_s))); }
    QJsonObject sent(int i = 0) const { return QJsonDocument::fromJson(m_server->requests.value(i).body).object(); }
    QString firstHit() const
    {
        return m_store->searchResults() ? m_store->searchResults()->apps.value(0).slug : u"<none>"_s;
    }
    QString picture() const { return QDir(m_platform.pictures).filePath(u"Vexlo-w.jpg"_s); }
    // The service hands out `picture` at `file`, with `resolution` when not empty.
    void scriptWallpaper(const QString &resolution, int delayMs = 0, const QByteArray &file = "/files/w.jpg",
                         const QByteArray &picture = encodedPicture(64))
    {
        QJsonObject reply{{"path", QString::fromUtf8(file)}};
        if (!resolution.isEmpty())
            reply.insert("resolution", resolution);
        m_server->script("POST", "/api/store/wallpapers", json(reply, delayMs));
        m_server->script("GET", file, image(picture));
    }
    void saveWallpaper(const QJsonObject &w, bool full)
    {
        QCoro::waitFor(m_store->downloadWallpaperTask(decode<StoreWallpaper>(w), full));
    }

private Q_SLOTS:
    void init()
    {
        m_server = std::make_unique<ScriptedServer>();
        Endpoint::setBase(m_server->base());
        userDefaults()->remove(u"installedApps"_s);
        QFile::remove(HomeCache::path());
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

    void installedRecords_data()
    {
        // The stored form is one data value; the defaults also hand back text someone wrote by hand.
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QStringList>("slugs");
        QTest::newRow("data") << QVariant(kInstalled) << QStringList{u"alpha"_s, u"beta"_s};
        QTest::newRow("text") << QVariant(QString::fromUtf8(kInstalled)) << QStringList{u"alpha"_s, u"beta"_s};
        QTest::newRow("one bad record") << QVariant(
                                               QByteArray(kInstalled).replace(R"("version":"2")", R"("version":2)"))
                                        << QStringList{};
        QTest::newRow("not json") << QVariant(QByteArray("{")) << QStringList{};
        QTest::newRow("a number") << QVariant(7) << QStringList{};
    }

    void installedRecords()
    {
        QFETCH(QVariant, stored);
        QFETCH(QStringList, slugs);
        userDefaults()->setValue(u"installedApps"_s, stored);
        Store store(nullptr);
        QStringList keys = store.installed().keys();
        keys.sort();
        QCOMPARE(keys, slugs);
        QVERIFY(m_server->requests.isEmpty());
        if (slugs.isEmpty())
            return;
        QCOMPARE(store.installed().value(u"alpha"_s).installedAt, InstalledApp::referenceDate().addMSecs(700000000500));
        // Without a location or a record there is only the toast (a record's location is shown even when its
        // file is gone: withoutBrowserOrFileManager).
        store.reveal(u"beta"_s);
        store.reveal(u"gamma"_s);
        QVERIFY(m_platform.revealed.isEmpty());
        QCOMPARE(shown(store.toast()), u"该条目没有本地文件记录"_s);
    }

    void bootstrapFailureKeepsHome_data()
    {
        QTest::addColumn<ScriptedReply>("failure");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("logged"); // the start of the one warning the failure leaves
        // The reason, not "failed" (each reason is service_transport's): a transport failure, then a reply that
        // does not decode.
        QTest::newRow("no message") << status(503) << u"服务器返回 503"_s
                                    << u"home not loaded: HTTP 503: 请求失败（503）"_s;
        QTest::newRow("undecodable") << status(200, R"({"site":1})") << u"服务器回复无效"_s
                                     << u"home not loaded: reply not decoded: "_s;
    }

    // A failed reload keeps the home shown before and leaves one log line; the next good one replaces it, with its
    // member and billing.
    void bootstrapFailureKeepsHome()
    {
        QFETCH(ScriptedReply, failure);
        QFETCH(QString, message);
        QFETCH(QString, logged);
        m_server->script("GET", "/api/store/home", {json(home(u"First"_s, member(), false)), failure});
        QCoro::waitFor(m_store->bootstrapTask());
        QVERIFY(!m_store->error() && !m_store->billingOn());
        QCOMPARE(m_store->member()->nickname, u"Ada"_s);
        QSignalSpy loading(m_store.get(), &Store::loadingChanged);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"^"_s + QRegularExpression::escape(logged)));
        QCoro::waitFor(m_store->bootstrapTask());
        QCOMPARE(m_store->home()->site.name, u"First"_s);
        QCOMPARE(shown(m_store->error()), message);
        QVERIFY(!m_store->loading() && m_store->member());
        QCOMPARE(loading.count(), 2);
        m_server->script("GET", "/api/store/home", json(home(u"Second"_s))); // signed out, "billingEnabled" omitted
        QCoro::waitFor(m_store->bootstrapTask());
        QCOMPARE(m_store->home()->site.name, u"Second"_s);
        QVERIFY(!m_store->error() && !m_store->member() && m_store->billingOn());
    }

    void keptHomePage_data()
    {
        // What the file holds at the next start: the one a load of "Kept" wrote, with `from` replaced by `to`.
        QTest::addColumn<QByteArray>("from");
        QTest::addColumn<QByteArray>("to");
        QTest::addColumn<bool>("used");
        QTest::newRow("as written") << QByteArray(R"("name":"Kept")") << QByteArray(R"("name":"Kept")") << true;
        QTest::newRow("corrupt") << QByteArray(R"("stats":{)") << QByteArray(R"("stats":{{)") << false;
        QTest::newRow("record changed shape") << QByteArray(R"("name":"Kept")") << QByteArray(R"("name":7)") << false;
        QTest::newRow("older format") << QByteArray("vexlo-home 1\n") << QByteArray("vexlo-home 0\n") << false;
        QTest::newRow("another service") << QByteArray("//127.0.0.1") << QByteArray("//10.0.0.1") << false;
    }

    // A load that decodes is kept (owner-only); the next start shows it at once, also offline, unless the file is
    // not a kept page of this service; the fresh reply replaces it, on screen and on disk.
    void keptHomePage()
    {
        QFETCH(QByteArray, from);
        QFETCH(QByteArray, to);
        QFETCH(bool, used);
        m_server->script("GET", "/api/store/home", {json(home(u"Kept"_s)), status(503), json(home(u"Fresh"_s))});
        QCoro::waitFor(m_store->bootstrapTask());
        QVERIFY(!m_store->homeFromLastVisit());
        QFile file(HomeCache::path());
        QVERIFY(file.exists() && file.open(QIODevice::ReadWrite));
        QVERIFY(!(file.permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther)));
        QByteArray changed = file.readAll();
        QVERIFY(changed.contains(from));
        changed.replace(from, to);
        file.resize(0);
        file.write(changed);
        file.close();
        Store next(nullptr);
        auto offline = next.bootstrapTask();
        QCOMPARE(next.home().has_value(), used);
        QCOMPARE(next.homeFromLastVisit(), used);
        QCoro::waitFor(std::move(offline));
        QCOMPARE(next.home() ? next.home()->site.name : u"<none>"_s, used ? u"Kept"_s : u"<none>"_s);
        QVERIFY(next.error());
        QCoro::waitFor(next.bootstrapTask());
        QCOMPARE(next.home()->site.name, u"Fresh"_s);
        QVERIFY(!next.homeFromLastVisit());
        QCOMPARE(HomeCache::load(Endpoint::base())->site.name, u"Fresh"_s);
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
        QCOMPARE(shown(m_store->toast()), u"第二条"_s);
        QTRY_VERIFY_WITH_TIMEOUT(!m_store->toast(), 2000);
        QVERIFY(clock.elapsed() - second >= 3150);
    }

    void runSearch_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("target"); // empty: no request expected
        QTest::addColumn<bool>("found");
        QTest::newRow("spaces only") << u"   \n\t "_s << QByteArray() << false;
        QTest::newRow("trimmed and encoded") << u"  a&b c \n"_s << QByteArray("/api/store/search?q=a&b%20c") << true;
        QTest::newRow("failure clears, keeps why") << u"fail"_s << QByteArray("/api/store/search?q=fail") << false;
    }

    void runSearch()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, target);
        QFETCH(bool, found);
        m_store->setSearchResults(decode<SearchResult>(searchHits()));
        m_server->script("GET", target, found ? json(searchHits({u"hit"_s})) : status(500, R"({"error":"坏了"})"));
        QSignalSpy busy(m_store.get(), &Store::searchBusyChanged);
        QCoro::waitFor(m_store->runSearchTask(text));
        QVERIFY(!m_store->searchBusy() && !m_store->toast());
        QCOMPARE(m_server->requests.size(), target.isEmpty() ? 0 : 1);
        QCOMPARE(m_server->count("GET", target), target.isEmpty() ? 0 : 1);
        QCOMPARE(busy.count(), target.isEmpty() ? 0 : 2);
        QCOMPARE(firstHit(), found ? u"hit"_s : u"<none>"_s);
        QCOMPARE(m_store->searchError(), found || target.isEmpty() ? QString() : u"坏了"_s);
    }

    // A search overtaken by a newer one is dropped, whenever its reply comes: it neither replaces the newer
    // results nor stops the spinner that now belongs to the newer search.
    void newestSearchWins_data() { newestSearchRows(); }
    void newestSearchWins()
    {
        QFETCH(int, olderMs);
        QFETCH(int, newerMs);
        scriptOldAndNewSearch(*m_server, olderMs, newerMs);
        auto older = m_store->runSearchTask(u"old"_s);
        auto newer = m_store->runSearchTask(u"new"_s);
        QCoro::waitFor(older);
        if (newerMs > olderMs)
            QVERIFY(m_store->searchBusy() && !m_store->searchResults());
        QCoro::waitFor(newer);
        QCOMPARE(firstHit(), u"new"_s);
        QVERIFY(!m_store->searchBusy());
    }

    void openDetail_data()
    {
        QTest::addColumn<ScriptedReply>("reply");
        QTest::addColumn<QString>("toast"); // "<none>": success expected
        QTest::newRow("found") << json(detail(u"alpha"_s)) << u"<none>"_s;
        QTest::newRow("unknown with message") << status(404, R"({"error":"应用不存在"})") << u"应用不存在"_s;
        QTest::newRow("transport") << hangUp() << u"无法加载应用详情"_s;
    }

    // Success loads the links for the new app; failure leaves no links of the app seen before.
    void openDetail()
    {
        QFETCH(ScriptedReply, reply);
        QFETCH(QString, toast);
        m_store->setNetdiskLinks({decode<NetdiskLink>(link(u"quark"_s, u"https://old.test"_s, {}))});
        m_store->setNetdiskFor(u"old"_s);
        m_server->script("GET", "/api/store/apps/alpha", reply);
        m_server->script("GET", "/api/store/apps/alpha/netdisk", json(netdisk(u"https://pan.test/a"_s)));
        QCoro::waitFor(m_store->openDetailTask(u"alpha"_s));
        const bool ok = toast == u"<none>";
        QCOMPARE(shown(m_store->toast()), toast);
        QVERIFY(!m_store->detailLoading() && !m_store->netdiskBusy());
        QCOMPARE(bool(m_store->detail()), ok);
        QCOMPARE(shown(m_store->netdiskFor()), ok ? u"alpha"_s : u"<none>"_s);
        QCOMPARE(m_store->netdiskLinks().value(0).url, ok ? u"https://pan.test/a"_s : QString());
    }

    void failedLinkLoadIsNotRepeatedForTheSameApp()
    {
        const StoreApp alpha = decode<StoreApp>(app(u"alpha"_s));
        m_server->script("GET", "/api/store/apps/alpha/netdisk", {status(500), json(netdisk(u"https://pan.test/a"_s))});
        m_server->script("GET", "/api/store/apps/alpha", json(detail(u"alpha"_s)));
        QCoro::waitFor(m_store->loadNetdiskTask(alpha));
        QCOMPARE(shown(m_store->toast()), u"请求失败（500）"_s);
        QVERIFY(m_store->netdiskLinks().isEmpty() && !m_store->netdiskBusy());
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
        QCoro::waitFor(slow);
        QCOMPARE(shown(m_store->netdiskFor()), u"fast"_s);
        QCOMPARE(m_store->netdiskLinks().size(), 1);
        QCOMPARE(m_store->netdiskLinks().value(0).url, u"https://pan.test/fast"_s);
        QVERIFY(!m_store->netdiskBusy());
        // Cleared by a detail page opening meanwhile: the late reply is dropped and the spinner still stops.
        auto late = m_store->loadNetdiskTask(decode<StoreApp>(app(u"slow"_s)));
        QVERIFY(m_store->netdiskBusy());
        m_store->setNetdiskFor(std::nullopt);
        m_store->setNetdiskLinks({});
        QCoro::waitFor(late);
        QVERIFY(m_store->netdiskLinks().isEmpty() && !m_store->netdiskBusy());
    }

    void openNetdisk_data()
    {
        QTest::addColumn<QString>("provider");
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("code"); // copied whenever not empty
        QTest::addColumn<QString>("toast");
        QTest::newRow("code") << u"baidu"_s << u"https://pan.test/s/1"_s << u"abcd"_s
                              << u"提取码 abcd 已复制，即将打开百度网盘"_s;
        QTest::newRow("empty code") << u"direct"_s << u"https://cdn.test/a.dmg"_s << QString() << u"即将打开直链下载"_s;
        QTest::newRow("space code") << u"quark"_s << u"https://pan.test/s/2"_s << u" "_s
                                    << u"提取码   已复制，即将打开夸克网盘"_s;
        QTest::newRow("unknown provider") << u"Baidu"_s << u"https://pan.test/s/3"_s << QString() << u"即将打开Baidu"_s;
        QTest::newRow("empty address") << u"baidu"_s << QString() << u"abcd"_s << u"网盘地址无效"_s;
        QTest::newRow("local file") << u"direct"_s << u"file:///etc/passwd"_s << QString() << u"网盘地址无效"_s;
    }

    void openNetdisk()
    {
        QFETCH(QString, provider);
        QFETCH(QString, url);
        QFETCH(QString, code);
        QFETCH(QString, toast);
        m_store->openNetdisk(QVariant::fromValue(decode<NetdiskLink>(link(provider, url, code))));
        QCOMPARE(m_platform.clipboard, code.isEmpty() ? QStringList{} : QStringList{code});
        QCOMPARE(shown(m_store->toast()), toast);
        QCOMPARE(m_platform.opened, toast == u"网盘地址无效" ? QList<QUrl>{} : QList<QUrl>{QUrl(url)});
        QVERIFY(m_store->installed().isEmpty()); // no detail page open: nothing to record
    }

    // Opening a link records the app in the stored form; a scan that finds its bundle adds the location; both
    // survive a restart; a link that does not open records nothing.
    void fetchRecordRoundTrip()
    {
        m_server->script("GET", "/api/store/apps/alpha", json(detail(u"alpha"_s)));
        m_server->script("GET", "/api/store/apps/alpha/netdisk", json(netdisk(u"https://pan.test/a"_s)));
        QCoro::waitFor(m_store->openDetailTask(u"alpha"_s));
        m_store->openNetdisk(decode<NetdiskLink>(link(u"direct"_s, u"file:///etc/passwd"_s, {})));
        QVERIFY(m_store->installed().isEmpty());
        const QDateTime before = QDateTime::currentDateTimeUtc();
        m_store->openNetdisk(m_store->netdiskLinks().value(0));
        const QJsonObject stored =
            QJsonDocument::fromJson(userDefaults()->value(u"installedApps"_s).toByteArray()).object();
        QJsonObject record = stored.value(u"alpha"_s).toObject();
        QVERIFY(qAbs(record.take("installedAt").toDouble() - InstalledApp::referenceDate().secsTo(before)) < 5);
        QCOMPARE(record,
                 (QJsonObject{{"slug", "alpha"}, {"name", "App alpha"}, {"version", "1.0"}, {"size", "12 MB"}}));
        m_store->recordLocations(
            {{u"Other"_s, u"/Applications/Other.app"_s}, {u"App alpha"_s, u"/Applications/A.app"_s}});
        Store restarted(nullptr);
        QCOMPARE(restarted.installed(), m_store->installed());
        restarted.reveal(u"alpha"_s);
        QCOMPARE(m_platform.revealed, QStringList{u"/Applications/A.app"_s});
    }

    // Without a browser or a file manager nothing fails silently: the toast says so and the address or the
    // file's location is on the clipboard.
    void withoutBrowserOrFileManager_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("copied");
        QTest::addColumn<QString>("toast");
        const QString fileManager = u"无法打开文件管理器，文件位置已复制"_s;
        QTest::newRow("site page") << u"web"_s << u"/app/x"_s << u"无法打开浏览器，链接已复制"_s;
        QTest::newRow("drive link with code")
            << u"netdisk"_s << u"https://pan.test/s/1 提取码 abcd"_s << u"无法打开浏览器，链接已复制"_s;
        QTest::newRow("download record") << u"reveal"_s << u"/nowhere/a.dmg"_s << fileManager;
        QTest::newRow("saved wallpaper") << u"wallpaper"_s << QString() << u"已保存 4K 到「图片」，"_s + fileManager;
    }

    void withoutBrowserOrFileManager()
    {
        QFETCH(QString, action);
        QFETCH(QString, copied);
        QFETCH(QString, toast);
        m_platform.hasBrowser = false;
        m_platform.hasFileManager = false;
        if (action == u"web"_s) {
            m_store->openOnWeb(copied);
            copied = Endpoint::url(copied)->toString();
        } else if (action == u"netdisk"_s) {
            m_store->openNetdisk(
                QVariant::fromValue(decode<NetdiskLink>(link(u"baidu"_s, u"https://pan.test/s/1"_s, u"abcd"_s))));
        } else if (action == u"reveal"_s) {
            userDefaults()->setValue(u"installedApps"_s, kInstalled);
            m_store = std::make_unique<Store>(nullptr);
            m_store->reveal(u"alpha"_s);
        } else {
            scriptWallpaper(u"4K"_s);
            saveWallpaper(wallpaper(u"w"_s), true);
            copied = picture();
        }
        QCOMPARE(shown(m_store->toast()), toast);
        QCOMPARE(m_platform.clipboard.last(), copied);
    }

    void startCheckout_data()
    {
        QTest::addColumn<ScriptedReply>("reply");
        QTest::addColumn<bool>("signIn");
        QTest::addColumn<QString>("error"); // "<none>" with no sign-in: the order opens
        QTest::newRow("order") << json(checkout(u"V1"_s)) << false << u"<none>"_s;
        QTest::newRow("signed out") << status(401, R"({"error":"x"})") << true << u"<none>"_s;
        QTest::newRow("needs sponsor") << status(402) << false << u"需要赞助会员"_s;
        QTest::newRow("service message") << status(409, R"({"error":"方案已下架"})") << false << u"方案已下架"_s;
        QTest::newRow("transport") << hangUp() << false << u"下单失败"_s;
    }

    void startCheckout()
    {
        QFETCH(ScriptedReply, reply);
        QFETCH(bool, signIn);
        QFETCH(QString, error);
        m_server->script("POST", "/api/store/checkout", reply);
        m_store->setCheckoutError(u"old"_s);
        QCoro::waitFor(m_store->startCheckoutTask(StorePlan{.id = 3}));
        QVERIFY(!m_store->checkoutBusy());
        QCOMPARE(bool(m_store->checkout()), !signIn && error == u"<none>");
        QCOMPARE(m_store->showLogin(), signIn);
        QCOMPARE(shown(m_store->checkoutError()), error);
        QCOMPARE(sent(), (QJsonObject{{"planId", 3}, {"payType", "wxpay"}, {"gateway", "hubijiao"}}));
    }

    // From QML: a plan record with a way to pay and a gateway, or a bare plan id with the defaults; a key that
    // names no way to pay orders nothing.
    void startCheckoutFromQml()
    {
        m_server->script("POST", "/api/store/checkout", json(checkout(u"V2"_s)));
        QVERIFY(QMetaObject::invokeMethod(m_store.get(), "startCheckout",
                                          Q_ARG(QVariant, QVariant::fromValue(StorePlan{.id = 7})),
                                          Q_ARG(QString, u"alipay"_s), Q_ARG(QString, u"xunhu"_s)));
        QTRY_VERIFY(m_store->checkout());
        QVERIFY(QMetaObject::invokeMethod(m_store.get(), "startCheckout", Q_ARG(QVariant, 8),
                                          Q_ARG(QString, u"paypal"_s), Q_ARG(QString, u"xunhu"_s)));
        QVERIFY(QMetaObject::invokeMethod(m_store.get(), "startCheckout", Q_ARG(QVariant, 9)));
        QTRY_COMPARE(m_server->requests.size(), 2);
        QTRY_VERIFY(!m_store->checkoutBusy());
        QCOMPARE(sent(0), (QJsonObject{{"planId", 7}, {"payType", "alipay"}, {"gateway", "xunhu"}}));
        QCOMPARE(sent(1), (QJsonObject{{"planId", 9}, {"payType", "wxpay"}, {"gateway", "hubijiao"}}));
    }

    void pollCheckout_data()
    {
        QTest::addColumn<ScriptedReply>("reply");
        QTest::addColumn<bool>("paid");
        QTest::newRow("paid") << json(orderStatus(u"V1"_s, u"paid"_s)) << true;
        QTest::newRow("letter case differs") << json(orderStatus(u"V1"_s, u"Paid"_s)) << false;
        QTest::newRow("no order") << json(QJsonObject{{"order", QJsonValue::Null}, {"orders", QJsonArray{}}}) << false;
        QTest::newRow("failure") << status(500, R"({"error":"x"})") << false;
    }

    void pollCheckout()
    {
        QFETCH(ScriptedReply, reply);
        QFETCH(bool, paid);
        signIn();
        openOrder();
        m_server->script("GET", "/api/store/orders?order=V1", reply);
        m_server->script("GET", "/api/store/home", json(home(u"Paid"_s, member())));
        m_server->script("GET", "/api/store/orders", json(account({u"V1"_s})));
        QCoro::waitFor(m_store->pollCheckoutTask());
        QCOMPARE(m_server->count("GET", "/api/store/orders?order=V1"), 1);
        QCOMPARE(m_server->requests.size(), paid ? 3 : 1);
        QCOMPARE(shown(m_store->toast()), paid ? u"支付成功，赞助已生效"_s : u"<none>"_s);
        QCOMPARE(bool(m_store->checkout()), !paid);
        QCOMPARE(m_store->home()->site.name, paid ? u"Paid"_s : u"Vexlo"_s);
        QCOMPARE(m_store->orders().size(), paid ? 1 : 0);
        QVERIFY(!m_store->checkoutError());
    }

    void mockPayToastComesBeforeTheReload()
    {
        signIn();
        openOrder();
        m_server->script("POST", "/api/store/orders", json(QJsonObject{{"ok", true}}));
        m_server->script("GET", "/api/store/home", json(home(u"Sponsoring"_s, member()), 300));
        m_server->script("GET", "/api/store/orders", json(account({u"V1"_s})));
        QStringList events;
        const auto record = [&](auto signal, const QString &name) {
            connect(m_store.get(), signal, this, [&events, name] { events << name; });
        };
        record(&Store::toastChanged, u"toast"_s);
        record(&Store::checkoutChanged, u"checkout"_s);
        record(&Store::homeChanged, u"home"_s);
        record(&Store::ordersChanged, u"orders"_s);
        record(&Store::checkoutBusyChanged, u"busy"_s);

        QCoro::waitFor(m_store->mockPayTask());

        QCOMPARE(events, (QStringList{u"busy"_s, u"toast"_s, u"checkout"_s, u"home"_s, u"orders"_s, u"busy"_s}));
        QVERIFY(!m_store->checkoutBusy());
        QCOMPARE(sent(), (QJsonObject{{"orderNo", "V1"}}));
    }

    // A failed payment keeps the order open with the reason shown on it.
    void mockPayFailure()
    {
        openOrder();
        m_server->script("POST", "/api/store/orders", {status(400, R"({"error":"沙箱关闭"})"), hangUp()});
        for (const QString &error : {u"沙箱关闭"_s, u"模拟支付失败"_s}) {
            QCoro::waitFor(m_store->mockPayTask());
            QCOMPARE(shown(m_store->checkoutError()), error);
            QVERIFY(!m_store->checkoutBusy() && m_store->checkout() && !m_store->toast());
        }
    }

    void loadAccount()
    {
        m_server->script("GET", "/api/store/orders", {json(account({u"A"_s, u"B"_s})), status(500)});
        // Not signed in and no order open: nothing to ask the service.
        QCoro::waitFor(m_store->loadAccountTask());
        QCoro::waitFor(m_store->pollCheckoutTask());
        QCoro::waitFor(m_store->mockPayTask());
        QVERIFY(m_server->requests.isEmpty() && !m_store->checkoutBusy());
        signIn();
        QCoro::waitFor(m_store->loadAccountTask());
        QCOMPARE(m_store->orders().size(), 2);
        QCoro::waitFor(m_store->loadAccountTask()); // failure keeps the list
        QCOMPARE(m_store->orders().size(), 2);
        m_store->setHome(decode<StoreHome>(home(u"Signed out"_s)));
        QCoro::waitFor(m_store->loadAccountTask());
        QVERIFY(m_store->orders().isEmpty());
        QCOMPARE(m_server->requests.size(), 2);
    }

    // --- wallpapers ---

    void secondWallpaperFetchIsIgnored()
    {
        scriptWallpaper(u"4K"_s, 300);
        auto first = m_store->downloadWallpaperTask(decode<StoreWallpaper>(wallpaper(u"a"_s)), false);
        QCOMPARE(shown(m_store->wallpaperBusy()), u"a"_s);
        QSignalSpy toasts(m_store.get(), &Store::toastChanged);
        saveWallpaper(wallpaper(u"b"_s), true);
        saveWallpaper(wallpaper(u"a"_s), true);
        QCOMPARE(shown(m_store->wallpaperBusy()), u"a"_s);
        QCOMPARE(toasts.count(), 0);
        QCoro::waitFor(first);
        QCOMPARE(m_server->count("POST", "/api/store/wallpapers"), 1);
        QVERIFY(!m_store->wallpaperBusy());
        QCOMPARE(shown(m_store->toast()), u"已保存 4K 到「图片」"_s);
    }

    void wallpaperFailures_data()
    {
        QTest::addColumn<ScriptedReply>("request");
        QTest::addColumn<ScriptedReply>("file");
        QTest::addColumn<QString>("toast");
        const ScriptedReply ok = json(QJsonObject{{"path", "/files/w.jpg"}, {"resolution", "5K"}});
        const ScriptedReply whole = image(encodedPicture(64));
        QTest::newRow("needs sponsor") << status(402, R"({"error":"x"})") << whole << u"5K 原图需要赞助会员"_s;
        QTest::newRow("service message") << status(500, R"({"error":"存储故障"})") << whole << u"存储故障"_s;
        QTest::newRow("no path") << json(QJsonObject{{"ok", false}}) << whole << u"下载地址无效"_s;
        QTest::newRow("file 206") << ok << image("part", 206) << u"原图下载失败"_s;
        QTest::newRow("file transport") << ok << hangUp() << u"下载失败"_s;
        QTest::newRow("file a picture's start only")
            << ok << image(encodedPicture(512, "PNG").first(300)) << u"下载失败"_s;
    }

    // Every failure leaves the picture saved earlier untouched and no temporary file behind.
    void wallpaperFailures()
    {
        QFETCH(ScriptedReply, request);
        QFETCH(ScriptedReply, file);
        QFETCH(QString, toast);
        QFile old(picture());
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old picture") > 0);
        old.close();
        m_server->script("POST", "/api/store/wallpapers", request);
        m_server->script("GET", "/files/w.jpg", file);
        saveWallpaper(wallpaper(u"w"_s), true);
        QCOMPARE(shown(m_store->toast()), toast);
        QCOMPARE(m_store->section(), request.status == 402 ? Store::Section::member : Store::Section::discover);
        QVERIFY(!m_store->wallpaperBusy());
        QCOMPARE(readBytes(picture()), QByteArray("old picture"));
        QCOMPARE(folderEntries(m_platform.pictures), QStringList{u"Vexlo-w.jpg"_s});
        QVERIFY(m_platform.revealed.isEmpty());
        QCOMPARE(sent(), (QJsonObject{{"slug", "w"}, {"size", "full"}}));
    }

    // The preview and then the full picture share one file; a reply without "resolution" still saves.
    void previewThenFullLeavesOneFile()
    {
        const QByteArray preview = encodedPicture(320);
        const QByteArray full = encodedPicture(640, "PNG");
        scriptWallpaper({}, 0, "/files/w-4k.jpg", preview);
        saveWallpaper(wallpaper(u"w"_s), false);
        QCOMPARE(shown(m_store->toast()), u"已保存  到「图片」"_s);
        QVERIFY(readBytes(picture()) == preview);
        QCOMPARE(m_platform.revealed, QStringList{picture()});
        scriptWallpaper(u"5K"_s, 0, "/files/w-5k.png", full);
        saveWallpaper(wallpaper(u"w"_s), true);
        QCOMPARE(shown(m_store->toast()), u"已保存 5K 到「图片」"_s);
        QCOMPARE(folderEntries(m_platform.pictures), QStringList{u"Vexlo-w.jpg"_s});
        QVERIFY(readBytes(picture()) == full);
        QCOMPARE(m_platform.revealed.size(), 2);
        QVERIFY(!m_store->wallpaperBusy());
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
        scriptWallpaper({});
        saveWallpaper(wallpaper(slug), false);
        QCOMPARE(shown(m_store->toast()), u"下载失败"_s);
        QVERIFY(!m_store->wallpaperBusy());
        QVERIFY(m_server->requests.isEmpty());
        QVERIFY(folderEntries(m_platform.pictures).isEmpty());
        QVERIFY(folderEntries(m_root->path()).isEmpty());
    }

    void unwritableFolderFails()
    {
        m_platform.pictures = m_root->filePath(u"missing/deeper"_s);
        scriptWallpaper({});
        saveWallpaper(wallpaper(u"w"_s), false);
        QCOMPARE(shown(m_store->toast()), u"下载失败"_s);
        QVERIFY(!m_store->wallpaperBusy());
    }

    // The window's Store goes away with its load under way and a new one takes its place: the late reply ends
    // the load without landing anywhere, and the new Store stays as it was built, idle and empty.
    void storeGoneWhileWaiting()
    {
        m_server->script("GET", "/api/store/home", json(home(u"Late"_s), 200));
        Store::setInstance(m_store.get());
        auto task = m_store->bootstrapTask();
        QVERIFY(m_store->loading());
        m_store = std::make_unique<Store>(nullptr);
        Store::setInstance(m_store.get());
        QSignalSpy changed(m_store.get(), &Store::homeChanged);
        QCoro::waitFor(task);
        QCOMPARE(m_server->count("GET", "/api/store/home"), 1);
        QVERIFY(changed.isEmpty() && !m_store->home());
        QVERIFY(!m_store->loading() && !m_store->error() && !m_store->toast());
        Store::setInstance(nullptr);
    }
};

QTEST_GUILESS_MAIN(TestStore)
#include "tst_store.moc"
