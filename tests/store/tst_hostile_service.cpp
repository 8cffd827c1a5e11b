// Store actions against a hostile service: replies that trickle, drip for ever, stall, break off, flood, lie about
// their type, have the wrong shape, redirect forever or to another server, name a file on another server, or pass
// something else off as a JPEG. Each time the action must end with its busy flag cleared and the Chinese message
// shown, the other server must hear nothing (so no session cookie reaches it), the GUI thread must keep turning (it works no more
// than 50 ms between two ticks of a 5 ms timer), and nothing under the test's home folder may change. The service
// runs on a thread of its own, so its work is not counted against the client.
#include "service/Endpoint.h"
#include "service/Transport.h"
#include "store/Store.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMap>
#include <QPointer>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <ctime>

#include "RecordingPlatform.h"
#include "ScriptedServer.h"
#include "service/Network.h"

#include <QNetworkCookie>
#include <QNetworkCookieJar>

using namespace Qt::StringLiterals;

namespace {

enum class Attack {
    trickle,
    hangAfterHeaders,
    closeMidBody,
    garbage,
    bulk,
    wrongType,
    wrongShape,
    redirectLoop,
    redirectElsewhere, // to the same host on another port: cookies do not tell ports apart
    pathElsewhere, // the wallpaper's path names another server
    drip, // one byte every 2 s, for ever
    notJpeg,
    fakeJpeg,
    hugeJpeg
};

QByteArray head(int status, const QByteArray &type, qint64 length, const QByteArray &extra = {})
{
    return "HTTP/1.1 " + QByteArray::number(status) + " X\r\nContent-Type: " + type +
        "\r\nContent-Length: " + QByteArray::number(length) + "\r\n" + extra + "\r\n";
}

// Made once, in initTestCase, before any clock runs.
const QByteArray &tenMegabytesOfNoise()
{
    static const QByteArray noise = [] {
        QByteArray bytes(10 * 1024 * 1024, Qt::Uninitialized);
        QRandomGenerator(16).fillRange(reinterpret_cast<quint32 *>(bytes.data()), bytes.size() / 4);
        return bytes;
    }();
    return noise;
}

// Answers the wallpaper request properly and every other request with the attack.
class HostileService
{
public:
    HostileService(Attack attack, QString elsewhere)
        : m_attack(attack)
        , m_elsewhere(std::move(elsewhere))
    {
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection())
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { read(socket); });
        });
        m_server.listen(QHostAddress::LocalHost);
    }

    [[nodiscard]] QString base() const { return u"http://127.0.0.1:%1"_s.arg(m_server.serverPort()); }

private:
    void read(QTcpSocket *socket)
    {
        QByteArray &buffer = m_buffers[socket];
        buffer += socket->readAll();
        const qsizetype end = buffer.indexOf("\r\n\r\n");
        if (end < 0)
            return;
        const QByteArray requestLine = buffer.left(buffer.indexOf("\r\n"));
        const qsizetype lengthAt = buffer.toLower().indexOf("content-length:");
        const qint64 bodyLength = lengthAt < 0 || lengthAt > end
            ? 0
            : buffer.mid(lengthAt + 15, end - lengthAt).split('\r')[0].trimmed().toLongLong();
        if (buffer.size() < end + 4 + bodyLength)
            return;
        buffer.remove(0, end + 4 + bodyLength);
        answer(socket, requestLine);
    }

    void answer(QTcpSocket *socket, const QByteArray &requestLine)
    {
        if (requestLine.startsWith("POST /api/store/wallpapers ")) {
            const QByteArray path = m_attack == Attack::pathElsewhere
                ? "@" + QUrl(m_elsewhere).authority().toUtf8() + "/files/w.jpg"
                : QByteArray("/files/w.jpg");
            const QByteArray body = R"({"ok":true,"path":")" + path + R"(","resolution":"5120x2880"})";
            socket->write(head(200, "application/json", body.size()) + body);
            return;
        }
        const QByteArray errorBody = R"({"error":"服务繁忙"})";
        switch (m_attack) {
        case Attack::trickle:
            trickle(socket, head(500, "application/json", errorBody.size()) + errorBody);
            break;
        case Attack::hangAfterHeaders:
            socket->write(head(200, "application/json", 4096));
            break;
        case Attack::closeMidBody:
            socket->write(head(200, "application/json", 100000) +
                          QByteArray("{\"site\":{\"name\":\"").leftJustified(500, 'x'));
            socket->disconnectFromHost();
            break;
        case Attack::garbage: {
            const QByteArray &noise = tenMegabytesOfNoise();
            // Two writes, so the socket shares the noise instead of copying 10 MB on this thread.
            socket->write(head(200, requestLine.contains("/files/") ? "image/jpeg" : "application/json", noise.size()));
            socket->write(noise);
            break;
        }
        case Attack::bulk: {
            // Six of the ten megabytes: under the client's limit, so all of it is read.
            const QByteArray noise = QByteArray::fromRawData(tenMegabytesOfNoise().constData(), 6 * 1024 * 1024);
            socket->write(head(200, "application/json", noise.size()));
            socket->write(noise);
            break;
        }
        case Attack::wrongType: {
            const QByteArray page = "<html><body>请先登录上网</body></html>";
            socket->write(head(200, "text/html; charset=utf-8", page.size()) + page);
            break;
        }
        case Attack::wrongShape: {
            const QByteArray body = R"({"site":[],"apps":{"a":1},"latest":"none"})";
            socket->write(head(200, "application/json", body.size()) + body);
            break;
        }
        case Attack::redirectLoop:
            socket->write(head(302, "text/plain", 0, "Location: " + requestLine.split(' ').value(1) + "\r\n"));
            break;
        case Attack::redirectElsewhere:
            socket->write(head(307, "text/plain", 0,
                               "Location: " + m_elsewhere.toUtf8() + requestLine.split(' ').value(1) + "\r\n"));
            break;
        case Attack::pathElsewhere:
            break; // only the wallpaper request is asked
        case Attack::drip:
            // The head at once, then the body a byte at a time: always within the idle time-out, never done.
            socket->write(head(200, "image/jpeg", 100000));
            trickle(socket, QByteArray("\xFF\xD8\xFF\xE0", 4).leftJustified(100000, 'x'), 2000);
            break;
        case Attack::notJpeg: {
            const QByteArray body = "GIF89a\x01\x00\x01\x00 this is not a JPEG";
            socket->write(head(200, "image/jpeg", body.size()) + body);
            break;
        }
        case Attack::hugeJpeg:
            socket->write(head(200, "image/jpeg", qint64(1) << 30) + QByteArray("\xFF\xD8\xFF\xE0", 4));
            break;
        case Attack::fakeJpeg: {
            const QByteArray body = QByteArray("\xFF\xD8\xFF\xE0", 4) + tenMegabytesOfNoise().first(65536);
            socket->write(head(200, "image/jpeg", body.size()) + body);
            break;
        }
        }
    }

    // One byte every intervalMs; the socket may go away in between.
    void trickle(QTcpSocket *socket, const QByteArray &reply, int intervalMs = 3)
    {
        auto *timer = new QTimer(socket);
        QObject::connect(timer, &QTimer::timeout, socket, [socket, reply, timer, sent = qsizetype(0)]() mutable {
            socket->write(reply.mid(sent++, 1));
            if (sent >= reply.size())
                timer->stop();
        });
        timer->start(intervalMs);
    }

    Attack m_attack;
    QString m_elsewhere; // the base of another server
    QTcpServer m_server;
    QHash<QTcpSocket *, QByteArray> m_buffers;
};

// The service, made and destroyed on its own thread.
class ServiceThread
{
public:
    ServiceThread(Attack attack, const QString &elsewhere)
    {
        m_thread.start();
        m_anchor.moveToThread(&m_thread);
        QMetaObject::invokeMethod(
            &m_anchor, [this, attack, elsewhere] { m_service = std::make_unique<HostileService>(attack, elsewhere); },
            Qt::BlockingQueuedConnection);
    }
    ~ServiceThread()
    {
        QMetaObject::invokeMethod(
            &m_anchor, [this] { m_service.reset(); }, Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    }
    [[nodiscard]] QString base() const { return m_service->base(); }

private:
    QThread m_thread;
    QObject m_anchor;
    std::unique_ptr<HostileService> m_service;
};

// The processor time this thread has used. Between two ticks it is the work that held the event loop up; the
// wall clock would also count the time a loaded machine, or the host of a virtual one, kept the thread waiting.
qint64 threadCpuMs()
{
    timespec used{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &used);
    return qint64(used.tv_sec) * 1000 + used.tv_nsec / 1'000'000;
}

// Every regular file under the home folder with a digest of its bytes.
QMap<QString, QByteArray> homeSnapshot()
{
    QMap<QString, QByteArray> files;
    QDirIterator it(QDir::homePath(), QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        if (file.open(QIODevice::ReadOnly))
            files.insert(file.fileName(), QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256));
    }
    return files;
}

} // namespace

Q_DECLARE_METATYPE(Attack)

class HostileServiceTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        static_cast<void>(tenMegabytesOfNoise());
        // An earlier saved wallpaper that a failed download must leave as it is.
        QDir().mkpath(QDir::home().filePath(u"Pictures"_s));
        QFile old(QDir::home().filePath(u"Pictures/Vexlo-w.jpg"_s));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("\xFF\xD8\xFF the picture saved last week");
    }

    void actionEndsAndWindowStaysResponsive_data()
    {
        QTest::addColumn<Attack>("attack");
        QTest::addColumn<bool>("wallpaper"); // the wallpaper download, else the home page load
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("cancelAfterMs"); // the user cancels the save then; 0: never
        QTest::newRow("byte by byte") << Attack::trickle << false << u"服务繁忙"_s << 0;
        QTest::newRow("hang after headers") << Attack::hangAfterHeaders << false << u"请求超时"_s << 0;
        QTest::newRow("close mid-body") << Attack::closeMidBody << false << u"服务器回复无效"_s << 0;
        QTest::newRow("10 MB garbage") << Attack::garbage << false << u"服务器回复无效"_s << 0;
        QTest::newRow("6 MB garbage") << Attack::bulk << false << u"服务器回复无效"_s << 0;
        QTest::newRow("wrong content type") << Attack::wrongType << false << u"服务器回复无效"_s << 0;
        QTest::newRow("valid JSON, wrong shape") << Attack::wrongShape << false << u"服务器回复无效"_s << 0;
        QTest::newRow("redirect loop") << Attack::redirectLoop << false << u"服务器回复无效"_s << 0;
        QTest::newRow("redirect to another port") << Attack::redirectElsewhere << false << u"服务器回复无效"_s << 0;
        // The home call stops at its overall deadline (15 s) though a byte comes well within the idle time-out.
        QTest::newRow("a byte every 2 s") << Attack::drip << false << u"请求超时"_s << 0;
        QTest::newRow("wallpaper: redirect to another port")
            << Attack::redirectElsewhere << true << u"原图下载失败"_s << 0;
        QTest::newRow("wallpaper: path on another server") << Attack::pathElsewhere << true << u"下载地址无效"_s << 0;
        QTest::newRow("wallpaper: a byte every 2 s, cancelled") << Attack::drip << true << u"已取消下载"_s << 1000;
        QTest::newRow("wallpaper: close mid-body") << Attack::closeMidBody << true << u"下载失败"_s << 0;
        QTest::newRow("wallpaper: 10 MB garbage") << Attack::garbage << true << u"下载失败"_s << 0;
        QTest::newRow("wallpaper: not a JPEG") << Attack::notJpeg << true << u"下载失败"_s << 0;
        QTest::newRow("wallpaper: JPEG marker, then noise") << Attack::fakeJpeg << true << u"下载失败"_s << 0;
        QTest::newRow("wallpaper: a JPEG of 1 GB") << Attack::hugeJpeg << true << u"下载失败"_s << 0;
    }

    void actionEndsAndWindowStaysResponsive()
    {
        QFETCH(Attack, attack);
        QFETCH(bool, wallpaper);
        QFETCH(QString, message);
        QFETCH(int, cancelAfterMs);
        ScriptedServer elsewhere;
        ServiceThread service(attack, elsewhere.base());
        Endpoint::setBase(service.base());
        // A signed-in session: the cookie is for the host, whatever the port.
        sharedNetwork().cookieJar()->setCookiesFromUrl({QNetworkCookie("vx_session", "secret")}, QUrl(service.base()));
        RecordingPlatform platform;
        platform.pictures = QDir::home().filePath(u"Pictures"_s);
        Platform::setInstance(&platform);
        auto resetPlatform = qScopeGuard([] { Platform::setInstance(nullptr); });
        Store store(nullptr);
        const QMap<QString, QByteArray> before = homeSnapshot();

        // The most work the GUI thread did between two ticks of a 5 ms timer while the action runs.
        qint64 lastTick = 0;
        qint64 longestGap = 0;
        QTimer ticker;
        ticker.setTimerType(Qt::PreciseTimer);
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            const qint64 now = threadCpuMs();
            longestGap = std::max(longestGap, now - lastTick);
            lastTick = now;
        });

        QEventLoop loop;
        QTimer::singleShot(30000, &loop, &QEventLoop::quit);
        QElapsedTimer clock;
        clock.start();
        lastTick = threadCpuMs();
        ticker.start(5);
        if (wallpaper) {
            QObject::connect(&store, &Store::wallpaperBusyChanged, &loop, [&] {
                if (!store.wallpaperBusy())
                    loop.quit();
            });
            const QByteArray record = R"({"slug":"w","title":"W","collection":"nature","resolution":"5120x2880",)"
                                      R"("file":"/wallpapers/w.jpg","c1":"#000000","c2":"#111111","c3":"#222222",)"
                                      R"("featured":false})";
            const auto decoded = Transport::decode<StoreWallpaper>(record);
            QVERIFY(decoded.ok());
            store.downloadWallpaper(QVariant::fromValue(decoded.value()), true);
            if (cancelAfterMs > 0)
                QTimer::singleShot(cancelAfterMs, &store, &Store::cancelWallpaperDownload);
        } else {
            QObject::connect(&store, &Store::loadingChanged, &loop, [&] {
                if (!store.loading())
                    loop.quit();
            });
            store.bootstrap();
        }
        loop.exec();
        ticker.stop();

        if (wallpaper) {
            QVERIFY2(!store.wallpaperBusy(), "the download never ended");
            QCOMPARE(store.toast().value_or(u"<none>"_s), message);
            QVERIFY(platform.revealed.isEmpty());
        } else {
            QVERIFY2(!store.loading(), "the home page load never ended");
            QCOMPARE(store.error().value_or(u"<none>"_s), message);
        }
        QVERIFY2(longestGap <= 50, qPrintable(u"the GUI thread worked %1 ms without a break"_s.arg(longestGap)));
        // Every call has an overall deadline of 15 s (20 s for the wallpaper's POST).
        QVERIFY2(clock.elapsed() < 22000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY2(elsewhere.requests.isEmpty(), elsewhere.requests.value(0).headers.value("cookie").constData());
        QCOMPARE(homeSnapshot(), before);
    }
};

QTEST_GUILESS_MAIN(HostileServiceTest)
#include "tst_hostile_service.moc"
