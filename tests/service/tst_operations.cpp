// Every service operation as it appears on the wire: method, request target and body.
#include "TestServer.h"
#include "service/Endpoint.h"
#include "service/StoreAPI.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <QCoro/QCoroTask>

using namespace Qt::StringLiterals;

namespace {

// Runs one named operation; true when it decoded the scripted reply.
bool run(const QString &op)
{
    using namespace StoreAPI2;
    const auto ok = [](auto task) { return QCoro::waitFor(std::move(task)).ok(); };
    if (op == "home"_L1)
        return ok(StoreAPI::get<LoginResult>(StoreAPI::homePath()));
    if (op == "detail"_L1)
        return ok(StoreAPI::get<LoginResult>(StoreAPI::detailPath(u"pixel-art"_s)));
    if (op == "category"_L1)
        return ok(StoreAPI::get<LoginResult>(StoreAPI::categoryPath(u"dev"_s)));
    if (op == "search ampersand"_L1)
        return ok(StoreAPI::get<LoginResult>(StoreAPI::searchPath(u"a&b c"_s)));
    if (op == "search chinese"_L1)
        return ok(StoreAPI::get<LoginResult>(StoreAPI::searchPath(u"截图"_s)));
    if (op == "netdisk"_L1)
        return ok(StoreAPI::netdisk(u"pixel-art"_s));
    if (op == "login"_L1)
        return ok(StoreAPI::login(u"a@b.cn"_s, u"p w"_s));
    if (op == "wallpaperList none"_L1)
        return ok(wallpaperList(std::nullopt));
    if (op == "wallpaperList all"_L1)
        return ok(wallpaperList(u"all"_s));
    if (op == "wallpaperList nature"_L1)
        return ok(wallpaperList(u"nature"_s));
    if (op == "wallpaperDownload full"_L1)
        return ok(wallpaperDownload(u"dune"_s, true));
    if (op == "wallpaperDownload preview"_L1)
        return ok(wallpaperDownload(u"dune"_s, false));
    if (op == "checkout"_L1)
        return ok(checkout(3, u"wxpay"_s, u"hubijiao"_s));
    if (op == "orderStatus"_L1)
        return ok(orderStatus(u"VX123"_s));
    if (op == "account"_L1)
        return ok(account());
    if (op == "mockPay"_L1)
        return ok(mockPay(u"VX123"_s));
    qFatal("unknown operation");
}

} // namespace

class OperationsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_server = std::make_unique<TestServer>();
        Endpoint::setBase(m_server->base());
    }

    void requestOnTheWire_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QByteArray>("method");
        QTest::addColumn<QByteArray>("target");
        QTest::addColumn<QJsonObject>("body"); // empty: no body

        const QByteArray empty = "{}";
        const QByteArray wallpapers = R"({"sponsorActive":false,"wallpapers":[]})";
        const QByteArray orders = R"({"orders":[]})";
        const QByteArray checkout = R"({"orderNo":"VX1","amount":9.9,"planName":"月度","days":30,"payType":"wxpay",
            "gateway":"hubijiao","live":false,"qr":"q","redirect":"r","sponsorActive":false,"daysLeft":0})";
        QTest::addRow("home") << empty << QByteArray("GET") << QByteArray("/api/store/home") << QJsonObject();
        QTest::addRow("detail") << empty << QByteArray("GET") << QByteArray("/api/store/apps/pixel-art") << QJsonObject();
        QTest::addRow("category") << empty << QByteArray("GET") << QByteArray("/api/store/apps?category=dev&perPage=40")
                                  << QJsonObject();
        QTest::addRow("search ampersand") << empty << QByteArray("GET") << QByteArray("/api/store/search?q=a&b%20c")
                                          << QJsonObject();
        QTest::addRow("search chinese") << empty << QByteArray("GET")
                                        << QByteArray("/api/store/search?q=%E6%88%AA%E5%9B%BE") << QJsonObject();
        QTest::addRow("netdisk") << QByteArray(R"({"ok":false,"links":[]})") << QByteArray("GET")
                                 << QByteArray("/api/store/apps/pixel-art/netdisk") << QJsonObject();
        QTest::addRow("login") << QByteArray(R"({"ok":true,"role":"member"})") << QByteArray("POST")
                               << QByteArray("/api/auth/login")
                               << QJsonObject{{u"email"_s, u"a@b.cn"_s}, {u"password"_s, u"p w"_s}};
        QTest::addRow("wallpaperList none") << wallpapers << QByteArray("GET") << QByteArray("/api/store/wallpapers")
                                            << QJsonObject();
        QTest::addRow("wallpaperList all") << wallpapers << QByteArray("GET") << QByteArray("/api/store/wallpapers")
                                           << QJsonObject();
        QTest::addRow("wallpaperList nature") << wallpapers << QByteArray("GET")
                                              << QByteArray("/api/store/wallpapers?collection=nature") << QJsonObject();
        QTest::addRow("wallpaperDownload full") << empty << QByteArray("POST") << QByteArray("/api/store/wallpapers")
                                                << QJsonObject{{u"slug"_s, u"dune"_s}, {u"size"_s, u"full"_s}};
        QTest::addRow("wallpaperDownload preview") << empty << QByteArray("POST") << QByteArray("/api/store/wallpapers")
                                                   << QJsonObject{{u"slug"_s, u"dune"_s}, {u"size"_s, u"preview"_s}};
        // QJsonObject equality tells the integer 3 from the string "3".
        QTest::addRow("checkout") << checkout << QByteArray("POST") << QByteArray("/api/store/checkout")
                                  << QJsonObject{{u"planId"_s, 3}, {u"payType"_s, u"wxpay"_s}, {u"gateway"_s, u"hubijiao"_s}};
        QTest::addRow("orderStatus") << orders << QByteArray("GET") << QByteArray("/api/store/orders?order=VX123")
                                     << QJsonObject();
        QTest::addRow("account") << orders << QByteArray("GET") << QByteArray("/api/store/orders") << QJsonObject();
        QTest::addRow("mockPay") << QByteArray(R"({"ok":true})") << QByteArray("POST") << QByteArray("/api/store/orders")
                                 << QJsonObject{{u"orderNo"_s, u"VX123"_s}};
    }

    void requestOnTheWire()
    {
        QFETCH(QByteArray, reply);
        QFETCH(QByteArray, method);
        QFETCH(QByteArray, target);
        QFETCH(QJsonObject, body);
        m_server->reply(200, reply);
        QVERIFY(run(QString::fromUtf8(QTest::currentDataTag())));
        QCOMPARE(m_server->requests.size(), 1);
        const RecordedRequest &request = m_server->requests.first();
        QCOMPARE(request.method, method);
        QCOMPARE(request.target, target);
        if (body.isEmpty())
            QVERIFY(request.body.isEmpty());
        else
            QCOMPARE(QJsonDocument::fromJson(request.body).object(), body);
    }

    void freeFormReply()
    {
        m_server->reply(201, R"({"ok":true,"paid":1,"note":"沙盒","extra":null,"list":[1]})");
        const auto result = QCoro::waitFor(StoreAPI2::mockPay(u"VX1"_s));
        QVERIFY(result.ok());
        const JSONObject &reply = result.value();
        QCOMPARE(reply.value(u"ok"_s).kind, JSONValue::Kind::boolean);
        QCOMPARE(reply.value(u"paid"_s).number, 1.0);
        QCOMPARE(reply.value(u"note"_s).string, u"沙盒"_s);
        QCOMPARE(reply.value(u"extra"_s).kind, JSONValue::Kind::null);
        QCOMPARE(reply.value(u"list"_s).kind, JSONValue::Kind::null);
    }

    void largeReplyDecodes()
    {
        // Large bodies take the worker-thread path; the result must be the same records.
        QFile file(QStringLiteral(DATA_DIR "/home.json"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QJsonObject home = QJsonDocument::fromJson(file.readAll()).object();
        const QJsonValue app = home.value(u"latest"_s).toArray().first();
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
        QCOMPARE(result.value().latest.last().slug, app[u"slug"_s].toString());

        latest.insert(1, QJsonObject());
        home.insert(u"latest"_s, latest);
        m_server->reply(200, QJsonDocument(home).toJson());
        const auto bad = QCoro::waitFor(StoreAPI::get<StoreHome>(StoreAPI::homePath()));
        QCOMPARE(bad.error().kind, ApiError::Kind::decoding);
        QVERIFY2(bad.error().detail.startsWith(u"StoreHome.latest: [1] StoreApp.slug"_s), qPrintable(bad.error().detail));
    }

    void statusRulesPerOperation()
    {
        m_server->reply(402, R"({"error":"赞助专享"})");
        const auto download = QCoro::waitFor(StoreAPI2::wallpaperDownload(u"dune"_s, true));
        QVERIFY(download.error().is(StoreError::Kind::needsSponsor));
        const auto status = QCoro::waitFor(StoreAPI2::orderStatus(u"VX1"_s));
        QVERIFY(status.error().is(StoreError::Kind::server));
        QCOMPARE(status.error().store.message, u"赞助专享"_s);
        QCOMPARE(status.error().store.code, 402);
    }

    void logoutSendsBarePost()
    {
        m_server->reply(500, "boom");
        QCoro::waitFor(StoreAPI::logout());
        QCOMPARE(m_server->requests.size(), 1);
        const RecordedRequest &request = m_server->requests.first();
        QCOMPARE(request.method, "POST");
        QCOMPARE(request.target, "/api/auth/logout");
        QVERIFY(request.body.isEmpty());
        QVERIFY(!request.headers.contains("content-type"));
    }

    void logoutNeverFails_data()
    {
        QTest::addColumn<QString>("base");
        QTest::newRow("dead port") << u"http://127.0.0.1:%1"_s.arg(TestServer::deadPort());
        QTest::newRow("unparsable address") << u"1ab:x"_s;
        QTest::newRow("empty address") << QString();
    }

    void logoutNeverFails()
    {
        QFETCH(QString, base);
        Endpoint::setBase(base);
        QCoro::waitFor(StoreAPI::logout()); // returns normally
        QVERIFY(m_server->requests.isEmpty());
    }

    void queryEncoding_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("encoded");
        QTest::newRow("kept delimiters") << u"a&b=c+d?e/f:g@h"_s << u"a&b=c+d?e/f:g@h"_s;
        QTest::newRow("sub-delims and unreserved") << u"-._~!$'()*,;"_s << u"-._~!$'()*,;"_s;
        QTest::newRow("space is %20") << u"a b"_s << u"a%20b"_s;
        QTest::newRow("percent, hash, brackets") << u"%#[]"_s << u"%25%23%5B%5D"_s;
        QTest::newRow("quote, angle, backslash") << u"\"<>\\"_s << u"%22%3C%3E%5C"_s;
        QTest::newRow("chinese") << u"截图"_s << u"%E6%88%AA%E5%9B%BE"_s;
        QTest::newRow("emoji") << u"😀"_s << u"%F0%9F%98%80"_s;
        QTest::newRow("lone surrogate cannot be encoded") << QString(QChar(0xD800)) + u"x"_s << QString();
    }

    void queryEncoding()
    {
        QFETCH(QString, text);
        QFETCH(QString, encoded);
        QCOMPARE(StoreAPI::encodeQueryValue(text), encoded);
    }

private:
    std::unique_ptr<TestServer> m_server;
};

QTEST_GUILESS_MAIN(OperationsTest)
#include "tst_operations.moc"
