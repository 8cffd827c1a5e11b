// Every service operation as it appears on the wire: method, request target and body.
#include "Fixtures.h"
#include "ScriptedServer.h"
#include "service/Endpoint.h"
#include "service/StoreAPI.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <QCoro/QCoroTask>
#include <functional>

using namespace Qt::StringLiterals;
using namespace StoreAPI;

namespace {

// Runs one operation against the scripted reply; true when the reply decoded.
using Run = std::function<bool()>;

template <typename F, typename... Args> Run op(F call, Args... args)
{
    return [=] { return QCoro::waitFor(call(args...)).ok(); };
}

Run get(const QString &path)
{
    return op(StoreAPI::get<LoginResult>, path);
}

} // namespace

Q_DECLARE_METATYPE(Run)

class OperationsTest : public QObject
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
        const QByteArray empty = "{}";
        const QByteArray wallpapers = R"({"sponsorActive":false,"wallpapers":[]})";
        const QByteArray orders = R"({"orders":[]})";
        add("home", "GET /api/store/home", empty, {}, get(homePath()));
        add("detail", "GET /api/store/apps/pixel-art", empty, {}, get(detailPath(u"pixel-art"_s)));
        add("category", "GET /api/store/apps?category=dev-tools&perPage=40", empty, {},
            get(categoryPath(u"dev-tools"_s)));
        add("category stays one value", "GET /api/store/apps?category=a%26perPage%3D1%23x&perPage=40", empty, {},
            get(categoryPath(u"a&perPage=1#x"_s)));
        add("search escaped", "GET /api/store/search?q=a&b%20c%25%23%5B%5D%22%3C%3E%5C", empty, {},
            get(searchPath(u"a&b c%#[]\"<>\\"_s)));
        add("search lone surrogate cannot be encoded", "GET /api/store/search?q=", empty, {},
            get(searchPath(QString(QChar(0xD800)) + u"x"_s)));
        add("search chinese", "GET /api/store/search?q=%E6%88%AA%E5%9B%BE", empty, {}, get(searchPath(u"截图"_s)));
        add("netdisk", "GET /api/store/apps/pixel-art/netdisk", R"({"ok":false,"links":[]})", {},
            op(netdisk, u"pixel-art"_s));
        add("login", "POST /api/auth/login", R"({"ok":true,"role":"member"})",
            {{u"email"_s, u"a@b.cn"_s}, {u"password"_s, u"p w"_s}}, op(login, u"a@b.cn"_s, u"p w"_s));
        add("wallpaperList none", "GET /api/store/wallpapers", wallpapers, {}, op(wallpaperList, std::nullopt));
        add("wallpaperList all", "GET /api/store/wallpapers", wallpapers, {}, op(wallpaperList, u"all"_s));
        add("wallpaperList nature", "GET /api/store/wallpapers?collection=nature", wallpapers, {},
            op(wallpaperList, u"nature"_s));
        add("wallpaperDownload preview", "POST /api/store/wallpapers", empty,
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
            QCoro::waitFor(StoreAPI::logout());
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
        QVERIFY(body.size() > StoreAPI::detail::backgroundDecodeBytes);
        m_server->reply(200, body);
        const auto result = QCoro::waitFor(StoreAPI::get<StoreHome>(StoreAPI::homePath()));
        QVERIFY(result.ok());
        QCOMPARE(result.value().latest.size(), 400);

        latest.insert(1, QJsonObject());
        home.insert(u"latest"_s, latest);
        m_server->reply(200, QJsonDocument(home).toJson());
        const auto bad = QCoro::waitFor(StoreAPI::get<StoreHome>(StoreAPI::homePath()));
        QCOMPARE(bad.error().kind, ApiError::Kind::decoding);
        QVERIFY2(bad.error().detail.startsWith(u"StoreHome.latest: [1] StoreApp.slug"_s),
                 qPrintable(bad.error().detail));
    }

private:
    std::unique_ptr<ScriptedServer> m_server;
};

QTEST_GUILESS_MAIN(OperationsTest)
#include "tst_operations.moc"
