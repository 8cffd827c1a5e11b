// The sign-in session's cookies: sent back on later requests, kept across restarts when they carry an
// expiry, stored privately.
#include "ScriptedServer.h"
#include "service/CookieJar.h"
#include "service/Endpoint.h"
#include "service/Network.h"
#include "service/StoreAPI.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QNetworkCookie>
#include <QTemporaryDir>
#include <QTest>
#include <QCoro/QCoroTask>

using namespace Qt::StringLiterals;

namespace {

QStringList namesFor(const QNetworkCookieJar &jar, const QString &base)
{
    QStringList names;
    for (const QNetworkCookie &cookie : jar.cookiesForUrl(QUrl(base + u"/api/store/home"_s)))
        names.append(QString::fromUtf8(cookie.name()));
    names.sort();
    return names;
}

} // namespace

class CookieJarTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sessionRoundTripThroughSharedNetwork()
    {
        ScriptedServer server;
        Endpoint::setBase(server.base());
        server.reply(ScriptedReply{200,
                                   "{}",
                                   {{"Set-Cookie", "sid=abc; Path=/; Max-Age=3600; HttpOnly"},
                                    {"Set-Cookie", "tmp=1; Path=/"},
                                    {"Set-Cookie", "old=x; Path=/; Expires=Thu, 01 Jan 1970 00:00:00 GMT"}}});
        QVERIFY(QCoro::waitFor(StoreAPI::get<LoginResult>(u"/api/auth/login"_s)).ok());

        server.reply(200, "{}");
        QCoro::waitFor(StoreAPI::account());
        const QByteArray sent = server.requests.last().headers.value("cookie");
        QVERIFY2(sent.contains("sid=abc") && sent.contains("tmp=1") && !sent.contains("old"), sent);

        // Only the cookie with an expiry survives a restart, and the file is the user's alone (0600).
        const auto user = QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser;
        QCOMPARE(QFileInfo(cookieFilePath()).permissions() & ~user, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QCOMPARE(namesFor(PersistentCookieJar(cookieFilePath()), server.base()), QStringList{u"sid"_s});

        // The service ending the session with an expired cookie removes it from the file as well.
        server.reply(ScriptedReply{200, "{}", {{"Set-Cookie", "sid=; Path=/; Max-Age=0"}}});
        QCoro::waitFor(StoreAPI::logout());
        QCOMPARE(namesFor(PersistentCookieJar(cookieFilePath()), server.base()), QStringList());
        QVERIFY(!namesFor(*sharedNetwork().cookieJar(), server.base()).contains(u"sid"_s));
    }

    void hostOnlyCookieStaysHostOnly()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"sub/cookies.json"_s);
        {
            PersistentCookieJar jar(path);
            QNetworkCookie cookie("sid", "1");
            cookie.setExpirationDate(QDateTime::currentDateTimeUtc().addDays(1));
            QVERIFY(jar.setCookiesFromUrl({cookie}, QUrl(u"http://shop.example.com/"_s)));
        }
        PersistentCookieJar jar(path);
        QCOMPARE(namesFor(jar, u"http://shop.example.com"_s), QStringList{u"sid"_s});
        QCOMPARE(namesFor(jar, u"http://a.shop.example.com"_s), QStringList());
    }

    void unreadableOrStaleFileGivesNoCookies_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("garbage") << QByteArray("\x01not json");
        QTest::newRow("object instead of list") << QByteArray(R"({"raw":"sid=1"})");
        QTest::newRow("expired entry") << QByteArray(
            R"([{"raw":"sid=1; expires=Thu, 01 Jan 2026 00:00:00 GMT; domain=127.0.0.1; path=/","domain":"127.0.0.1"}])");
        QTest::newRow("session entry") << QByteArray(
            R"([{"raw":"sid=1; domain=127.0.0.1; path=/","domain":"127.0.0.1"}])");
    }

    void unreadableOrStaleFileGivesNoCookies()
    {
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        QFile file(dir.filePath(u"cookies.json"_s));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
        file.close();
        QCOMPARE(namesFor(PersistentCookieJar(file.fileName()), u"http://127.0.0.1"_s), QStringList());
    }
};

QTEST_GUILESS_MAIN(CookieJarTest)
#include "tst_cookiejar.moc"
