// The store service against the client's own transport and records: every operation decodes, refusals carry
// the statuses the client maps, the sponsorship flow works end to end, bad bodies change nothing and sessions
// survive a restart. Under scripts/cluster the same runs against PostgreSQL through the balancer, and the
// restart becomes a new instance on the shared database.
#include "Cluster.h"
#include "RawHttp.h"
#include "ServerProcess.h"

#include "service/Endpoint.h"
#include "service/Network.h"
#include "service/StoreAPI.h"

#include <QCryptographicHash>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkCookie>
#include <QNetworkCookieJar>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>
#include <QCoro/QCoroTask>
#include <algorithm>
#include <functional>

using namespace Qt::StringLiterals;
using namespace StoreAPI;

namespace {

const QString kSponsor = u"sponsor@vexlo.test"_s;
const QString kSponsorPassword = u"vexlo-sponsor"_s;
const QString kMember = u"member@vexlo.test"_s;
const QString kMemberPassword = u"vexlo-member"_s;
const QString kFreeApp = u"lumen-launch"_s;
const QString kPaidApp = u"key-vault"_s;

#define AWAIT_OK(name, call)                                                                                           \
    auto name = QCoro::waitFor(call);                                                                                  \
    QVERIFY2(name.ok(), qPrintable(name.ok() ? QString() : name.error().reason() + u' ' + name.error().detail))

// One request on a fresh connection to the service.
RawResponse raw(const QByteArray &request)
{
    return exchange(quint16(Endpoint::url(u"/"_s)->port()), request);
}

// The shared session's cookie as a field line for requests outside the typed operations; empty when signed out.
QByteArray sharedSession()
{
    for (const QNetworkCookie &c : sharedNetwork().cookieJar()->cookiesForUrl(*Endpoint::url(u"/"_s)))
        if (c.name() == "vexlo_session")
            return "Cookie: vexlo_session=" + c.value() + "\r\n";
    return {};
}

bool isChineseError(const QByteArray &body)
{
    const QJsonObject object = QJsonDocument::fromJson(body).object();
    static const QRegularExpression han(u"\\p{Han}"_s);
    for (auto it = object.begin(); it != object.end(); ++it)
        if (!it->isString())
            return false; // the client only reads error bodies made of strings
    return object.value(u"error"_s).toString().contains(han);
}

using Probe = std::function<ApiError()>;

// The call with these arguments, made when the row runs; a success reads as a decoding failure.
template <typename F, typename... Args> Probe fails(F call, Args... args)
{
    return [=] {
        const auto result = QCoro::waitFor(call(args...));
        return result.ok() ? ApiError::decodingFailure(u"unexpected success"_s) : result.error();
    };
}

} // namespace

class ServerContractTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dataDir;
    ServerProcess m_server;
    const std::optional<Cluster> m_cluster = Cluster::fromEnvironment();

    bool signIn(const QString &email, const QString &password)
    {
        const auto result = QCoro::waitFor(login(email, password));
        return result.ok() && result.value().ok.value_or(false);
    }

    // Everything the service keeps about accounts, sessions and orders, read straight from its database.
    QString accountState()
    {
        QString state;
        {
            QSqlDatabase db = m_cluster ? m_cluster->openDatabase(u"snapshot"_s)
                                        : QSqlDatabase::addDatabase(u"QSQLITE"_s, u"snapshot"_s);
            if (!m_cluster) {
                db.setDatabaseName(m_dataDir.filePath(u"store.sqlite"_s));
                db.setConnectOptions(u"QSQLITE_OPEN_READONLY"_s);
                db.open();
            }
            for (const QString &table :
                 {u"users ORDER BY id"_s, u"sessions ORDER BY token_hash"_s, u"orders ORDER BY order_no"_s}) {
                QSqlQuery q(u"SELECT * FROM "_s + table, db);
                while (q.next())
                    for (int i = 0; i < q.record().count(); ++i)
                        state += q.value(i).toString() + u'|';
                state += u'\n';
            }
        }
        QSqlDatabase::removeDatabase(u"snapshot"_s);
        return state;
    }

    int sponsorCount()
    {
        const auto home = QCoro::waitFor(get<StoreHome>(u"/api/store/home"_s));
        return home.ok() ? home.value().stats.sponsors : -1;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dataDir.isValid());
        if (m_cluster) {
            Endpoint::setBase(m_cluster->url);
            return;
        }
        QString error;
        QVERIFY2(m_server.start(m_dataDir.path(), 0, &error), qPrintable(error));
        Endpoint::setBase(m_server.base());
    }

    void cleanup() { QCoro::waitFor(logout()); }

    // The home payload decodes, and the category lists page through the whole catalogue with the counts it gives.
    void homeAndCategoryListsCoverCatalogue()
    {
        AWAIT_OK(home, get<StoreHome>(homePath()));
        const StoreHome &h = home.value();
        QVERIFY(!h.member); // not signed in
        QCOMPARE(h.billingEnabled, std::optional<bool>(true));
        QVERIFY(!h.site.name.isEmpty() && !h.categories.isEmpty() && !h.plans.isEmpty() && h.stats.wallpapers > 0);
        QVERIFY(!h.featured.isEmpty() && !h.top.isEmpty() && !h.latest.isEmpty() && !h.wallpapers.isEmpty());
        QVERIFY(std::ranges::is_sorted(h.top, std::greater<>(), &StoreApp::downloads));
        int total = 0;
        QStringList firstListing;
        for (const StoreCategory &c : h.categories) {
            AWAIT_OK(page, get<AppListPage>(categoryPath(c.slug)));
            QCOMPARE(page.value().total, c.count);
            QCOMPARE(page.value().apps.size(), c.count);
            for (const StoreApp &a : page.value().apps) {
                QCOMPARE(a.categorySlug, std::optional<QString>(c.slug));
                if (total == 0)
                    firstListing << a.slug;
            }
            total += c.count;
        }
        QCOMPARE(total, h.stats.apps);
        AWAIT_OK(all, get<AppListPage>(u"/api/store/apps?perPage=100"_s));
        QCOMPARE(all.value().apps.size(), total);

        // Paging: pages of two, and the empty one after them, hold the first category's listing once, in order.
        const StoreCategory first = h.categories.first();
        QStringList paged;
        for (int page = 1; page <= (first.count + 1) / 2 + 1; ++page) {
            const QString path = u"/api/store/apps?category=%1&perPage=2&page=%2"_s.arg(first.slug).arg(page);
            AWAIT_OK(p, get<AppListPage>(path));
            QCOMPARE(p.value().pages, (first.count + 1) / 2);
            for (const StoreApp &a : p.value().apps)
                paged << a.slug;
        }
        QCOMPARE(paged, firstListing);
    }

    void detailAndLinksDecode()
    {
        AWAIT_OK(free, get<StoreDetail>(detailPath(kFreeApp)));
        const StoreDetail &d = free.value();
        QVERIFY(d.app.isFree && d.unlocked && !d.needsSponsor && !d.reviews.isEmpty() && !d.related.isEmpty());
        QVERIFY(d.versions && d.versions->size() >= 2);
        QCOMPARE(d.versions->first().version, d.app.version);
        QVERIFY(std::ranges::none_of(d.related, [](const StoreApp &r) { return r.slug == kFreeApp; }));
        AWAIT_OK(paid, get<StoreDetail>(detailPath(kPaidApp)));
        QVERIFY(!paid.value().app.isFree && !paid.value().unlocked && paid.value().needsSponsor);
        AWAIT_OK(links, netdisk(kFreeApp));
        QVERIFY(!links.value().links.isEmpty());
        QCOMPARE(links.value().version, std::optional<QString>(d.app.version));
    }

    void searchFindsAppsAndOtherHits_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("hit"); // "app <slug>" or "other <type>" that must be found; empty: nothing is
        QTest::newRow("app name") << u"流光"_s << u"app "_s + kFreeApp;
        QTest::newRow("latin, other case") << u"json"_s << u"app json-lens"_s;
        QTest::newRow("tagline") << u"备份"_s << u"app time-rewind"_s;
        QTest::newRow("wallpapers") << u"渐变"_s << u"other wall"_s;
        QTest::newRow("articles") << u"本地运行"_s << u"other post"_s;
        QTest::newRow("LIKE characters are literal") << u"100%_"_s << QString();
        QTest::newRow("bracket, in no tag") << u"["_s << QString();
        QTest::newRow("NUL") << u"a"_s + QChar(0) << QString();
        QTest::newRow("100 characters, 200 UTF-16 units") << QString(u"😀"_s).repeated(100) << QString();
        QTest::newRow("empty") << QString() << QString();
    }

    void searchFindsAppsAndOtherHits()
    {
        QFETCH(QString, text);
        QFETCH(QString, hit);
        AWAIT_OK(result, get<SearchResult>(searchPath(text)));
        QStringList hits;
        for (const StoreApp &a : result.value().apps)
            hits << u"app "_s + a.slug;
        for (const SearchOther &o : result.value().other)
            hits << u"other "_s + o.type;
        QVERIFY2(hit.isEmpty() ? hits.isEmpty() : hits.contains(hit), qPrintable(hits.join(u',')));
    }

    void wallpapersDecodeAndFilesServe()
    {
        AWAIT_OK(all, wallpaperList(std::nullopt));
        QVERIFY(!all.value().sponsorActive);
        AWAIT_OK(gradient, wallpaperList(u"gradient"_s));
        QVERIFY(!gradient.value().wallpapers.isEmpty());
        QVERIFY(gradient.value().wallpapers.size() < all.value().wallpapers.size());
        for (const StoreWallpaper &w : gradient.value().wallpapers)
            QCOMPARE(w.collection, u"gradient"_s);

        const StoreWallpaper wallpaper = gradient.value().wallpapers.first();
        AWAIT_OK(download, wallpaperDownload(wallpaper.slug, false));
        QVERIFY(download.value().path && download.value().resolution);
        const RawResponse file = raw(rawGet(download.value().path->toUtf8()));
        QCOMPARE(QImage::fromData(file.body, "JPEG").size(), QSize(3840, 2160));
        QVERIFY(!QImage::fromData(raw(rawGet(wallpaper.thumbURL()->path().toUtf8())).body, "JPEG").isNull());
        // The record's own file is the free size.
        QCOMPARE(raw(rawGet(wallpaper.absoluteURL()->path().toUtf8())).status, 200);
    }

    void refusals_data()
    {
        QTest::addColumn<bool>("member"); // signed in as the member first
        QTest::addColumn<Probe>("probe");
        QTest::addColumn<StoreError>("expected"); // a status without a message: the service's own text, whatever it is
        const auto add = [](const char *name, bool member, const StoreError &expected, const Probe &probe) {
            QTest::newRow(name) << member << probe << expected;
        };
        const auto status = [](int code, const QString &message = {}) { return StoreError::server(message, code); };
        const StoreError needsSponsor = StoreError::of(StoreError::Kind::needsSponsor);
        const StoreError unauthorized = StoreError::of(StoreError::Kind::unauthorized);

        add("unknown app", false, status(404), fails(get<StoreDetail>, detailPath(u"no-such-app"_s)));
        add("links of unknown app", false, status(404), fails(netdisk, u"no-such-app"_s));
        add("unknown category", false, status(404), fails(get<AppListPage>, categoryPath(u"no-such-category"_s)));
        add("paid links, signed out", false, status(402), fails(netdisk, kPaidApp));
        add("paid links, not sponsoring", true, status(402), fails(netdisk, kPaidApp));
        add("5K, signed out", false, needsSponsor, fails(wallpaperDownload, u"aurora"_s, true));
        add("5K, not sponsoring", true, needsSponsor, fails(wallpaperDownload, u"aurora"_s, true));
        add("checkout, signed out", false, unauthorized, fails(checkout, 3, PayType::wechat, u"hubijiao"_s));
        add("sandbox payment, signed out", false, unauthorized, fails(mockPay, u"VX-DEMO-0001"_s));
        add("order history, signed out", false, status(401, u"请先登录账户"_s), fails(account));
        add("wrong password", false, status(403, u"邮箱或密码错误"_s), fails(login, kMember, u"not-the-password"_s));
        add("unknown e-mail", false, status(403, u"邮箱或密码错误"_s), fails(login, u"nobody@vexlo.test"_s, u"x"_s));
        add("another member's order", true, status(404), fails(orderStatus, u"VX-DEMO-0001"_s));
        add("paying another member's order", true, status(404), fails(mockPay, u"VX-DEMO-0001"_s));
        add("search over 100 characters", false, status(400, u"搜索内容过长"_s),
            fails(get<SearchResult>, searchPath(QString(u"😀"_s).repeated(101))));
        add("unknown plan", true, status(400, u"未知的赞助方案"_s),
            fails(checkout, 99, PayType::wechat, u"hubijiao"_s));
    }

    void refusals()
    {
        QFETCH(bool, member);
        QFETCH(Probe, probe);
        QFETCH(StoreError, expected);
        if (member)
            QVERIFY(signIn(kMember, kMemberPassword));
        const ApiError error = probe();
        QCOMPARE(int(error.kind), int(ApiError::Kind::store));
        QCOMPARE(int(error.store.kind), int(expected.kind));
        QCOMPARE(error.store.code, expected.code);
        if (!expected.message.isEmpty())
            QCOMPARE(error.store.message, expected.message);
        else if (expected.kind == StoreError::Kind::server) // a real "error" text
            QVERIFY2(!error.store.message.startsWith(u"请求失败"_s), qPrintable(error.store.message));
    }

    void badBodiesAnswer400AndChangeNothing_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("body");
        const QByteArray order = R"("payType":"wxpay","gateway":"hubijiao")";
        const QString login = u"/api/auth/login"_s, buy = u"/api/store/checkout"_s, wall = u"/api/store/wallpapers"_s;
        QTest::newRow("login, not JSON") << login << "{\"email\":"_ba;
        QTest::newRow("login, array") << login << R"(["sponsor@vexlo.test","vexlo-sponsor"])"_ba;
        QTest::newRow("login, number e-mail") << login << R"({"email":1,"password":"x"})"_ba;
        QTest::newRow("login, no password") << login << R"({"email":"sponsor@vexlo.test"})"_ba;
        QTest::newRow("checkout, empty body") << buy << QByteArray();
        QTest::newRow("checkout, plan as text") << buy << "{\"planId\":\"3\"," + order + "}";
        QTest::newRow("checkout, fractional plan") << buy << "{\"planId\":3.5," + order + "}";
        QTest::newRow("checkout, unknown pay type")
            << buy << R"({"planId":3,"payType":"cash","gateway":"hubijiao"})"_ba;
        QTest::newRow("checkout, unknown gateway") << buy << R"({"planId":3,"payType":"wxpay","gateway":"bank"})"_ba;
        QTest::newRow("payment, no order") << u"/api/store/orders"_s << "{}"_ba;
        QTest::newRow("wallpaper, unknown size") << wall << R"({"slug":"aurora","size":"8k"})"_ba;
        QTest::newRow("wallpaper, list slug") << wall << R"({"slug":["aurora"],"size":"full"})"_ba;
    }

    void badBodiesAnswer400AndChangeNothing()
    {
        QFETCH(QString, path);
        QFETCH(QByteArray, body);
        QVERIFY(signIn(kSponsor, kSponsorPassword)); // so refusals are about the body, not the session
        const QString before = accountState();
        const RawResponse reply = raw(rawPost(path.toUtf8(), body, sharedSession()));
        QCOMPARE(reply.status, 400);
        QVERIFY2(isChineseError(reply.body), reply.body.constData());
        QCOMPARE(accountState(), before);
    }

    void sponsorshipFlow()
    {
        QVERIFY(signIn(kMember, kMemberPassword));
        AWAIT_OK(before, get<StoreHome>(homePath()));
        QVERIFY(before.value().member && !before.value().member->sponsorActive);
        const int sponsorsBefore = before.value().stats.sponsors;
        const auto plan = [&](const QString &slug) {
            return *std::ranges::find(before.value().plans, slug, &StorePlan::slug);
        };
        const StorePlan yearly = plan(u"yearly"_s);
        QCOMPARE(yearly.days, 365);

        AWAIT_OK(order, checkout(yearly.id, PayType::alipay, u"xunhu"_s));
        const CheckoutPayload &o = order.value();
        QVERIFY(!o.live && !o.sponsorActive && !o.redirect.isEmpty());
        QCOMPARE((std::tuple{o.days, o.planName, o.amount, o.payType, o.gateway}),
                 (std::tuple{365, yearly.name, yearly.price, u"alipay"_s, u"xunhu"_s}));
        AWAIT_OK(pending, orderStatus(o.orderNo));
        QCOMPARE(pending.value().order->status, u"pending"_s);
        QVERIFY(!pending.value().order->paidAt);

        AWAIT_OK(paid, mockPay(o.orderNo));
        AWAIT_OK(status, orderStatus(o.orderNo));
        QCOMPARE(status.value().order->status, u"paid"_s);
        QVERIFY(status.value().order->paidAt);
        AWAIT_OK(after, get<StoreHome>(homePath()));
        QVERIFY(after.value().member->sponsorActive && !after.value().member->forever);
        QVERIFY(after.value().member->expiresAt);
        QCOMPARE(after.value().member->daysLeft, 365);
        // Each instance recounts within five seconds; the one that took the payment at once.
        QTRY_COMPARE_WITH_TIMEOUT(sponsorCount(), sponsorsBefore + 1, 6000);

        // What sponsorship unlocks.
        AWAIT_OK(detail, get<StoreDetail>(detailPath(kPaidApp)));
        QVERIFY(detail.value().unlocked);
        AWAIT_OK(links, netdisk(kPaidApp));
        QVERIFY(!links.value().links.isEmpty());
        AWAIT_OK(full, wallpaperDownload(u"aurora"_s, true));
        const RawResponse fullFile = raw(rawGet(full.value().path->toUtf8(), "GET", sharedSession()));
        QCOMPARE(QImage::fromData(fullFile.body, "JPEG").size(), QSize(5120, 2880));

        // Paying the same order again does not extend the sponsorship a second time.
        AWAIT_OK(again, mockPay(o.orderNo));
        AWAIT_OK(unchanged, get<StoreHome>(homePath()));
        QCOMPARE(unchanged.value().member->daysLeft, 365);

        // A forever plan makes the sponsorship endless.
        AWAIT_OK(lifetime, checkout(plan(u"forever"_s).id, PayType::wechat, u"hubijiao"_s));
        QVERIFY(lifetime.value().sponsorActive);
        AWAIT_OK(lifetimePaid, mockPay(lifetime.value().orderNo));
        AWAIT_OK(history, account());
        QVERIFY(history.value().member && history.value().member->forever && !history.value().order);
        QCOMPARE(history.value().orders.size(), 2);
        QCOMPARE(history.value().orders.first().orderNo, lifetime.value().orderNo); // newest first
        for (const OrderSummary &s : history.value().orders)
            QVERIFY(s.status == u"paid"_s && s.paidAt);
    }

    void sessionCookieAndStoredSecrets()
    {
        const RawResponse login = raw(rawSignIn(kSponsor, kSponsorPassword));
        QCOMPARE(login.status, 200);
        const QByteArray cookie = login.header("Set-Cookie");
        static const QRegularExpression token(u"^vexlo_session=([0-9a-f]{64});"_s);
        const auto match = token.match(QString::fromLatin1(cookie));
        QVERIFY2(match.hasMatch(), cookie.constData());
        for (const char *attribute : {"HttpOnly", "SameSite=Lax", "Path=/", "Max-Age=2592000"})
            QVERIFY2(cookie.contains(attribute), cookie.constData());
        QVERIFY2(!cookie.contains("Secure"), cookie.constData()); // over plain http the app could not send it back

        const QString state = accountState();
        const QByteArray plain = match.captured(1).toLatin1();
        QVERIFY(!state.contains(QString::fromLatin1(plain)));
        QVERIFY(
            state.contains(QString::fromLatin1(QCryptographicHash::hash(plain, QCryptographicHash::Sha256).toHex())));
        QVERIFY(state.contains(u"$argon2id$"_s));
        QVERIFY(!state.contains(kSponsorPassword));
    }

    void restartKeepsSessionAndLogoutEndsIt()
    {
        QVERIFY(signIn(kSponsor, kSponsorPassword));
        const QByteArray token = sharedSession();
        QVERIFY(!token.isEmpty());

        QString error;
        ServerProcess fresh;
        QTemporaryDir freshDir;
        const auto backToBalancer = qScopeGuard([this] {
            if (m_cluster)
                Endpoint::setBase(m_cluster->url);
        });
        if (m_cluster) {
            QVERIFY2(fresh.start(freshDir.path(), 0, &error, {u"--database"_s, m_cluster->database.toString()}),
                     qPrintable(error));
            Endpoint::setBase(fresh.base()); // cookies go with the host, whatever the port
        } else {
            const quint16 port = m_server.port();
            m_server.stop();
            QVERIFY2(m_server.start(m_dataDir.path(), port, &error), qPrintable(error));
        }

        AWAIT_OK(home, get<StoreHome>(u"/api/store/home"_s));
        QVERIFY(home.value().member && home.value().member->sponsorActive);
        QCOMPARE(home.value().member->email, kSponsor);
        AWAIT_OK(history, account());
        QVERIFY(!history.value().orders.isEmpty());

        QCoro::waitFor(logout());
        AWAIT_OK(signedOut, get<StoreHome>(u"/api/store/home"_s));
        QVERIFY(!signedOut.value().member);
        // The service forgot the session, not just the client's cookie jar.
        QCOMPARE(raw(rawGet("/api/store/orders", "GET", token)).status, 401);
    }

    void pagesServeHtml_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("status");
        QTest::newRow("root") << u"/"_s << 200;
        QTest::newRow("app") << u"/app/"_s + kFreeApp << 200;
        QTest::newRow("blog") << u"/blog/menubar-cleanup"_s << 200;
        QTest::newRow("device check") << u"/tools/mac-check"_s << 200;
        QTest::newRow("guide used by the device check") << u"/guides/unboxing-and-check"_s << 200;
        QTest::newRow("unknown app") << u"/app/no-such-app"_s << 404;
        QTest::newRow("unknown guide") << u"/guides/no-such-guide"_s << 404;
    }

    void pagesServeHtml()
    {
        QFETCH(QString, path);
        QFETCH(int, status);
        const RawResponse page = raw(rawGet(path.toUtf8()));
        QCOMPARE(page.status, status);
        QVERIFY(page.header("Content-Type").startsWith("text/html"));
        QVERIFY(page.body.startsWith("<!doctype html>"));
    }
};

QTEST_GUILESS_MAIN(ServerContractTest)
#include "tst_server_contract.moc"
