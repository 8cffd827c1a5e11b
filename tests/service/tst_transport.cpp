// The HTTP transport against a scripted local server: every operation as it appears on the wire (method, request
// target and body), status rules, error bodies, headers, addresses.
#include "Fixtures.h"
#include "ScriptedServer.h"
#include "service/Endpoint.h"
#include "service/StoreAPI.h"
#include "service/UserDefaults.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>
#include <QCoro/QCoroTask>
#include <functional>

using namespace Qt::StringLiterals;
using namespace StoreAPI;

namespace {

// One outcome as text, so tables can name what they expect.
template <typename T> QString outcome(const ApiResult<T> &result)
{
    static const QStringList kinds{u"store"_s, u"transport"_s, u"decoding"_s};
    static const QStringList storeKinds{u"server"_s, u"badURL"_s, u"network"_s, u"unauthorized"_s, u"needsSponsor"_s};
    if (result.ok())
        return u"decoded"_s;
    const ApiError &e = result.error();
    if (e.kind != ApiError::Kind::store)
        return kinds.value(int(e.kind));
    if (e.store.kind == StoreError::Kind::server)
        return u"server %1 %2"_s.arg(e.store.code).arg(e.store.message);
    return storeKinds.value(int(e.store.kind));
}

// The outcome is `expected`; a failure's reason is `reason` when that is given, and any failure but the service's
// refusals (which have a text of their own) shows the caller's text.
void checkOutcome(const ApiResult<LoginResult> &result, const QString &expected, const QString &reason)
{
    QCOMPARE(outcome(result), expected);
    if (!reason.isEmpty())
        QCOMPARE(result.error().reason(), reason);
    if (!result.ok() && result.error().kind != ApiError::Kind::store)
        QCOMPARE(result.error().userMessage(u"加载失败"_s), u"加载失败"_s);
}

ApiResult<LoginResult> call(const QString &method, const QString &path = u"/api/test"_s)
{
    if (method == "GET"_L1)
        return QCoro::waitFor(get<LoginResult>(path));
    return QCoro::waitFor(post<LoginResult>(path, QVariantMap{{u"k"_s, 1}}));
}

// Runs one operation against the scripted reply; true when the reply decoded.
using Run = std::function<bool()>;

template <typename F, typename... Args> Run op(F call, Args... args)
{
    return [=] { return QCoro::waitFor(call(args...)).ok(); };
}

} // namespace

class TransportTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_server = std::make_unique<ScriptedServer>();
        Endpoint::setBase(m_server->base());
    }

    void requestOnTheWire_data()
    {
        QTest::addColumn<QByteArray>("request"); // "METHOD target"
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QJsonObject>("body"); // empty: no body
        QTest::addColumn<Run>("run");
        const auto add = [](const char *name, const QByteArray &request, const QByteArray &reply,
                            const QJsonObject &body,
                            Run run) { QTest::newRow(name) << request << reply << body << run; };
        // A GET of a path the client builds, answered with an empty object, sends no body.
        const auto addGet = [&](const char *name, const QByteArray &request, const QString &path) {
            add(name, request, "{}", {}, op(get<LoginResult>, path));
        };
        const QByteArray wallpapers = R"({"sponsorActive":false,"wallpapers":[]})";
        const QByteArray orders = R"({"orders":[]})";
        addGet("home", "GET /api/store/home", homePath());
        addGet("detail", "GET /api/store/apps/pixel-art", detailPath(u"pixel-art"_s));
        addGet("category", "GET /api/store/apps?category=dev-tools&perPage=40", categoryPath(u"dev-tools"_s));
        addGet("category stays one value", "GET /api/store/apps?category=a%26perPage%3D1%23x&perPage=40",
               categoryPath(u"a&perPage=1#x"_s));
        addGet("search escaped", "GET /api/store/search?q=a&b%20c%25%23%5B%5D%22%3C%3E%5C",
               searchPath(u"a&b c%#[]\"<>\\"_s));
        addGet("search lone surrogate cannot be encoded",
               "GET /api/store/search?q=", searchPath(QString(QChar(0xD800)) + u"x"_s));
        addGet("search chinese", "GET /api/store/search?q=%E6%88%AA%E5%9B%BE", searchPath(u"截图"_s));
        add("netdisk", "GET /api/store/apps/pixel-art/netdisk", R"({"ok":false,"links":[]})", {},
            op(netdisk, u"pixel-art"_s));
        add("login", "POST /api/auth/login", R"({"ok":true,"role":"member"})",
            {{u"email"_s, u"a@b.cn"_s}, {u"password"_s, u"p w"_s}}, op(login, u"a@b.cn"_s, u"p w"_s));
        add("wallpaperList none", "GET /api/store/wallpapers", wallpapers, {}, op(wallpaperList, std::nullopt));
        add("wallpaperList all", "GET /api/store/wallpapers", wallpapers, {}, op(wallpaperList, u"all"_s));
        add("wallpaperList nature", "GET /api/store/wallpapers?collection=nature", wallpapers, {},
            op(wallpaperList, u"nature"_s));
        add("wallpaperDownload preview", "POST /api/store/wallpapers", "{}",
            {{u"slug"_s, u"dune"_s}, {u"size"_s, u"preview"_s}}, op(wallpaperDownload, u"dune"_s, false));
        // QJsonObject equality tells the integer 3 from the string "3".
        add("checkout", "POST /api/store/checkout",
            R"({"orderNo":"VX1","amount":9.9,"planName":"月度","days":30,"payType":"wxpay","gateway":"hubijiao",
                "live":false,"qr":"q","redirect":"r","sponsorActive":false,"daysLeft":0})",
            {{u"planId"_s, 3}, {u"payType"_s, u"wxpay"_s}, {u"gateway"_s, u"hubijiao"_s}},
            op(checkout, 3, PayType::wechat, u"hubijiao"_s));
        add("orderStatus", "GET /api/store/orders?order=VX123", orders, {}, op(orderStatus, u"VX123"_s));
        add("account", "GET /api/store/orders", orders, {}, op(account));
        add("mockPay", "POST /api/store/orders", R"({"ok":true})", {{u"orderNo"_s, u"VX123"_s}},
            op(mockPay, u"VX123"_s));
        // Logout decodes nothing and sends no body.
        add("logout", "POST /api/auth/logout", "boom", {}, [] {
            QCoro::waitFor(logout());
            return true;
        });
    }

    void requestOnTheWire()
    {
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, reply);
        QFETCH(QJsonObject, body);
        QFETCH(Run, run);
        m_server->reply(200, reply);
        QVERIFY(run());
        QCOMPARE(m_server->requests.size(), 1);
        const RecordedRequest &sent = m_server->requests.first();
        QCOMPARE(sent.method + ' ' + sent.target, request);
        if (!request.endsWith("logout"))
            QCOMPARE(sent.headers.value("accept"), "application/json");
        if (body.isEmpty()) {
            QVERIFY(sent.body.isEmpty());
            QVERIFY(!sent.headers.contains("content-type"));
        } else {
            QCOMPARE(QJsonDocument::fromJson(sent.body).object(), body);
            QCOMPARE(sent.headers.value("content-type"), "application/json");
        }
    }

    void freeFormReply()
    {
        m_server->reply(201, R"({"ok":true,"paid":1,"note":"沙盒","extra":null,"list":[1],"obj":{"a":1}})");
        const auto result = QCoro::waitFor(mockPay(u"VX1"_s));
        QVERIFY(result.ok());
        const JSONObject &reply = result.value();
        QCOMPARE(reply.value(u"ok"_s).toVariant(), QVariant(true));
        QCOMPARE(reply.value(u"paid"_s).toVariant(), QVariant(1.0));
        QCOMPARE(reply.value(u"note"_s).toVariant(), QVariant(u"沙盒"_s));
        for (const QString &key : {u"extra"_s, u"list"_s, u"obj"_s}) // null, and what has no scalar form
            QCOMPARE(reply.value(key).kind, JSONValue::Kind::null);
    }

    // Large bodies take the worker-thread path; the result must be the same records.
    void largeReplyDecodes()
    {
        QJsonObject home = readJson(u"home.json"_s);
        const QJsonValue app = home.value(u"featured"_s).toArray().first();
        QJsonArray latest;
        for (int i = 0; i < 400; ++i)
            latest.append(app);
        home.insert(u"latest"_s, latest);
        const QByteArray body = QJsonDocument(home).toJson();
        QVERIFY(body.size() > detail::backgroundDecodeBytes);
        m_server->reply(200, body);
        const auto result = QCoro::waitFor(get<StoreHome>(homePath()));
        QVERIFY(result.ok());
        QCOMPARE(result.value().latest.size(), 400);

        latest.insert(1, QJsonObject());
        home.insert(u"latest"_s, latest);
        m_server->reply(200, QJsonDocument(home).toJson());
        const auto bad = QCoro::waitFor(get<StoreHome>(homePath()));
        QCOMPARE(bad.error().kind, ApiError::Kind::decoding);
        QVERIFY2(bad.error().detail.startsWith(u"StoreHome.latest: [1] StoreApp.slug"_s),
                 qPrintable(bad.error().detail));
    }

    // How a status and a body decode, and what the user is told of each failure: why, never "failed" alone.
    void statusRules_data()
    {
        QTest::addColumn<QString>("method");
        QTest::addColumn<ScriptedReply>("reply");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("reason"); // empty: not checked
        const QByteArray ok = R"({"ok":true})";
        const QByteArray error = R"({"error":"账户未登录"})";
        const auto add = [](const char *name, const char *method, const ScriptedReply &reply, const char *expected,
                            const QString &reason = {}) {
            QTest::newRow(name) << QString::fromUtf8(method) << reply << QString::fromUtf8(expected) << reason;
        };
        add("GET 201 is a server error", "GET", status(201, ok), "server 201 请求失败（201）");
        add("POST 201 decodes", "POST", status(201, ok), "decoded");
        add("GET 204 is a server error", "GET", status(204), "server 204 请求失败（204）");
        add("POST 204 without body", "POST", status(204), "decoding");
        add("GET 401 uses the body", "GET", status(401, error), "server 401 账户未登录");
        add("POST 401", "POST", status(401, error), "unauthorized");
        add("POST 402", "POST", status(402, error), "needsSponsor");
        add("POST 500 not JSON", "POST", status(500, "oops"), "server 500 请求失败（500）");
        add("numeric code beside error", "GET", status(400, R"({"error":"坏请求","code":400})"),
            "server 400 请求失败（400）");
        add("array body", "GET", status(400, R"(["error"])"), "server 400 请求失败（400）");
        add("POST 201 wrong type", "POST", status(201, R"({"ok":"yes"})"), "decoding");
        add("status alone", "GET", status(503), "server 503 请求失败（503）", u"服务器返回 503"_s);
        add("service's message", "GET", status(500, R"({"error":"维护中"})"), "server 500 维护中", u"维护中"_s);
        add("closed unanswered", "GET", hangUp(), "transport", u"服务器回复无效"_s);
        add("not the record", "GET", status(200, "[1]"), "decoding", u"服务器回复无效"_s);
    }

    void statusRules()
    {
        QFETCH(QString, method);
        QFETCH(ScriptedReply, reply);
        QFETCH(QString, expected);
        QFETCH(QString, reason);
        m_server->reply(reply);
        checkOutcome(call(method), expected, reason);
        if (!reply.hangUp) // Qt sends a request again once when the connection closes unanswered
            QCOMPARE(m_server->requests.size(), 1);
    }

    void addressIsBaseFollowedByPath()
    {
        Endpoint::setBase(m_server->base() + u"/"_s);
        QVERIFY(call(u"GET"_s, u"/api/store/home"_s).ok());
        QCOMPARE(m_server->requests.last().target, "//api/store/home");

        // A new base applies to the very next request.
        ScriptedServer other;
        Endpoint::setBase(other.base());
        QVERIFY(call(u"POST"_s).ok());
        QCOMPARE(other.requests.size(), 1);
        QCOMPARE(m_server->requests.size(), 1);
    }

    void failuresBeforeAnyStatus_data()
    {
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("reason"); // empty: not checked
        QTest::newRow("unparsable address") << u"1ab:x"_s << "badURL" << u"站点地址无效"_s;
        QTest::newRow("non-numeric port") << u"http://127.0.0.1:abc"_s << "badURL" << u"站点地址无效"_s;
        QTest::newRow("empty address is relative") << QString() << "transport" << QString();
        QTest::newRow("connection refused")
            << u"http://127.0.0.1:%1"_s.arg(ScriptedServer::deadPort()) << "transport" << u"无法连接服务器"_s;
    }

    void failuresBeforeAnyStatus()
    {
        QFETCH(QString, base);
        QFETCH(QString, expected);
        QFETCH(QString, reason);
        Endpoint::setBase(base);
        checkOutcome(call(u"GET"_s), expected, reason);
        QCOMPARE(outcome(call(u"POST"_s)), expected);
        QCoro::waitFor(logout()); // never fails
        QVERIFY(m_server->requests.isEmpty());
    }

    void replyThatIsNotHttpIsNetworkError()
    {
        QTemporaryDir dir;
        QFile file(dir.filePath(u"reply.json"_s));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(R"({"ok":true})") > 0);
        file.close();
        Endpoint::setBase(QUrl::fromLocalFile(dir.path()).toString());
        QCOMPARE(outcome(call(u"GET"_s, u"/reply.json"_s)), u"network"_s);
    }

    void addressText()
    {
        userDefaults()->remove(u"baseURL"_s);
        QCOMPARE(Endpoint::url(u"/api/store/home"_s)->toString(), u"http://127.0.0.1:4812/api/store/home"_s);
        Endpoint::setBase(QString());
        QCOMPARE(Endpoint::base(), QString()); // no fallback to the default

        QCOMPARE(Endpoint::parse(u"http://h/a b%"_s)->toEncoded(), "http://h/a%20b%25"); // repaired
        QCOMPARE(Endpoint::parse(u"/api/x"_s)->toEncoded(), "/api/x");
        QVERIFY(!Endpoint::parse(u"http://[::1/x"_s));
    }

private:
    std::unique_ptr<ScriptedServer> m_server;
};

QTEST_GUILESS_MAIN(TransportTest)
#include "tst_transport.moc"
