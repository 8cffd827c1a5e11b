// The HTTP transport against a scripted local server: status rules, error bodies, headers, addresses.
#include "ScriptedServer.h"
#include "service/Endpoint.h"
#include "service/StoreAPI.h"
#include "service/UserDefaults.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>
#include <QCoro/QCoroTask>

using namespace Qt::StringLiterals;

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

ApiResult<LoginResult> call(const QString &method, const QString &path = u"/api/test"_s)
{
    if (method == "GET"_L1)
        return QCoro::waitFor(StoreAPI::get<LoginResult>(path));
    return QCoro::waitFor(StoreAPI::post<LoginResult>(path, QVariantMap{{u"k"_s, 1}}));
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

    void statusRules_data()
    {
        QTest::addColumn<QString>("method");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("expected");
        const QByteArray ok = R"({"ok":true})";
        const QByteArray error = R"({"error":"账户未登录"})";
        QTest::newRow("GET 201 is a server error") << "GET" << 201 << ok << "server 201 请求失败（201）";
        QTest::newRow("POST 201 decodes") << "POST" << 201 << ok << "decoded";
        QTest::newRow("GET 204 is a server error") << "GET" << 204 << QByteArray() << "server 204 请求失败（204）";
        QTest::newRow("POST 204 without body") << "POST" << 204 << QByteArray() << "decoding";
        QTest::newRow("GET 401 uses the body") << "GET" << 401 << error << "server 401 账户未登录";
        QTest::newRow("POST 401") << "POST" << 401 << error << "unauthorized";
        QTest::newRow("POST 402") << "POST" << 402 << error << "needsSponsor";
        QTest::newRow("POST 500 not JSON") << "POST" << 500 << QByteArray("oops") << "server 500 请求失败（500）";
        QTest::newRow("numeric code beside error")
            << "GET" << 400 << QByteArray(R"({"error":"坏请求","code":400})") << "server 400 请求失败（400）";
        QTest::newRow("array body") << "GET" << 400 << QByteArray(R"(["error"])") << "server 400 请求失败（400）";
        QTest::newRow("POST 201 wrong type") << "POST" << 201 << QByteArray(R"({"ok":"yes"})") << "decoding";
    }

    void statusRules()
    {
        QFETCH(QString, method);
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(QString, expected);
        m_server->reply(status, body);
        QCOMPARE(outcome(call(method)), expected);
        QCOMPARE(m_server->requests.size(), 1);
    }

    // What the user is told of each kind of failure: why, never "failed" alone.
    void failureReasons_data()
    {
        QTest::addColumn<bool>("refused");
        QTest::addColumn<ScriptedReply>("reply");
        QTest::addColumn<QString>("reason");
        QTest::newRow("nobody listens") << true << ScriptedReply{} << u"无法连接服务器"_s;
        QTest::newRow("status alone") << false << status(503) << u"服务器返回 503"_s;
        QTest::newRow("service's message") << false << status(500, R"({"error":"维护中"})") << u"维护中"_s;
        QTest::newRow("closed unanswered") << false << hangUp() << u"服务器回复无效"_s;
        QTest::newRow("not the record") << false << status(200, "[1]") << u"服务器回复无效"_s;
    }

    void failureReasons()
    {
        QFETCH(bool, refused);
        QFETCH(ScriptedReply, reply);
        QFETCH(QString, reason);
        m_server->reply(reply);
        if (refused)
            Endpoint::setBase(u"http://127.0.0.1:%1"_s.arg(ScriptedServer::deadPort()));
        const auto result = call(u"GET"_s);
        QVERIFY(!result.ok());
        QCOMPARE(result.error().reason(), reason);
        if (result.error().kind != ApiError::Kind::store) // only the service's own refusals have a text of their own
            QCOMPARE(result.error().userMessage(u"加载失败"_s), u"加载失败"_s);
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
        QTest::newRow("unparsable address") << u"1ab:x"_s << "badURL";
        QTest::newRow("non-numeric port") << u"http://127.0.0.1:abc"_s << "badURL";
        QTest::newRow("empty address is relative") << QString() << "transport";
        QTest::newRow("connection refused") << u"http://127.0.0.1:%1"_s.arg(ScriptedServer::deadPort()) << "transport";
    }

    void failuresBeforeAnyStatus()
    {
        QFETCH(QString, base);
        QFETCH(QString, expected);
        Endpoint::setBase(base);
        QCOMPARE(outcome(call(u"GET"_s)), expected);
        QCOMPARE(outcome(call(u"POST"_s)), expected);
        QCoro::waitFor(StoreAPI::logout()); // never fails
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
