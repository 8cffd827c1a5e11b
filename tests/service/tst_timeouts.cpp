// A service that accepts the connection and never answers: GET gives up after 15 s, POST after 20 s.
#include "ScriptedServer.h"
#include "service/Endpoint.h"
#include "service/Network.h"
#include "service/StoreAPI.h"

#include <QElapsedTimer>
#include <QTest>
#include <QCoro/QCoroTask>

using namespace Qt::StringLiterals;

class TimeoutsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void silentServiceTimesOut()
    {
        ScriptedServer server;
        server.reply({.hang = true});
        Endpoint::setBase(server.base());
        QElapsedTimer clock;
        clock.start();
        qint64 getMs = -1;
        qint64 postMs = -1;
        // Both run at once, so the test takes as long as the longer time-out.
        auto get = StoreAPI::get<LoginResult>(u"/slow"_s).then([&](ApiResult<LoginResult> r) {
            getMs = clock.elapsed();
            return r;
        });
        auto post = StoreAPI::post<LoginResult>(u"/slow"_s, std::nullopt).then([&](ApiResult<LoginResult> r) {
            postMs = clock.elapsed();
            return r;
        });
        const ApiResult<LoginResult> getResult = QCoro::waitFor(std::move(get));
        const ApiResult<LoginResult> postResult = QCoro::waitFor(std::move(post));
        QCOMPARE(server.requests.size(), 2);
        QCOMPARE(getResult.error().reason(), u"请求超时"_s);
        QCOMPARE(postResult.error().reason(), u"请求超时"_s);
        // Qt's transfer time-out runs on a coarse timer, which may fire up to 5 % early.
        QVERIFY2(getMs >= 14000 && getMs < 18000, qPrintable(QString::number(getMs)));
        QVERIFY2(postMs >= 19000 && postMs < 23000, qPrintable(QString::number(postMs)));
    }

    void cleanupTestCase()
    {
        // The timed-out replies went to deleteLater. Let them go, then the network manager, which stops its
        // connection thread and waits for it, while the event loop still runs: at exit LeakSanitizer once found
        // that thread's connection objects still alive.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        delete &sharedNetwork();
    }
};

QTEST_GUILESS_MAIN(TimeoutsTest)
#include "tst_timeouts.moc"
