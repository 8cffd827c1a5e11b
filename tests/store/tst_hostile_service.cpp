// Store actions against a hostile service: replies that trickle, drip for ever, stall, break off, flood, lie about
// their type, have the wrong shape, redirect forever or to another server, name a file on another server, or pass
// something else off as a JPEG. Each time the action must end with its busy flag cleared and the Chinese message
// shown, the other server must hear nothing (so no session cookie reaches it), the GUI thread must keep turning (it
// works no more than 50 ms between two ticks of a 5 ms timer), and nothing under the test's home folder may change.
// The service runs on a thread of its own, so its work is not counted against the client.
#include "service/Endpoint.h"
#include "store/Store.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMap>
#include <QNetworkCookie>
#include <QNetworkCookieJar>
#include <QRandomGenerator>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <ctime>

#include "Fixtures.h"
#include "RecordingPlatform.h"
#include "StoreJson.h"
#include "service/Network.h"

using namespace Qt::StringLiterals;

namespace {

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

const QByteArray kJpegMarker("\xFF\xD8\xFF\xE0", 4);

// A scripted service made, serving and destroyed on a thread of its own, with `attack` as the reply to every
// request but the wallpaper's, which gets `wallpaper`.
class ServiceThread
{
public:
    ServiceThread(const ScriptedReply &attack, const ScriptedReply &wallpaper)
    {
        m_thread.start();
        m_anchor.moveToThread(&m_thread);
        QMetaObject::invokeMethod(
            &m_anchor,
            [&] {
                m_service = std::make_unique<ScriptedServer>();
                m_service->reply(attack);
                m_service->script("POST", "/api/store/wallpapers", wallpaper);
            },
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
    std::unique_ptr<ScriptedServer> m_service;
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

class HostileServiceTest : public QObject
{
    Q_OBJECT

    ScriptedServer m_elsewhere; // another server on the same host: cookies do not tell ports apart

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
        QTest::addColumn<ScriptedReply>("attack"); // the reply to the home page or the wallpaper's file
        QTest::addColumn<bool>("wallpaper"); // the wallpaper download, else the home page load
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("cancelAfterMs"); // the user cancels the save then; 0: never
        QTest::addColumn<QByteArray>("wallpaperPath"); // in the reply to the wallpaper request
        const auto row = [](const char *name, const ScriptedReply &attack, bool wallpaper, const QString &message,
                            int cancelAfterMs = 0, const QByteArray &path = "/files/w.jpg") {
            QTest::newRow(name) << attack << wallpaper << message << cancelAfterMs << path;
        };
        const QByteArray &noise = tenMegabytesOfNoise();
        const ScriptedReply trickle{.status = 500, .body = R"({"error":"服务繁忙"})", .byteIntervalMs = 3};
        const ScriptedReply hangAfterHeaders{.body = {}, .length = 4096, .keepOpen = true};
        const ScriptedReply closeMidBody{.body = QByteArray("{\"site\":{\"name\":\"").leftJustified(1000, 'x'),
                                         .truncate = true};
        const auto redirect = [](int status, const QByteArray &location) {
            return ScriptedReply{
                .status = status, .body = {}, .headers = {{"Location", location}}, .contentType = "text/plain"};
        };
        const QByteArray elsewhere = m_elsewhere.base().toUtf8();
        // The head at once, then the body a byte every 2 s: always within the idle time-out, never done.
        const ScriptedReply drip{.body = kJpegMarker.leftJustified(100000, 'x'),
                                 .contentType = "image/jpeg",
                                 .keepOpen = true,
                                 .byteIntervalMs = 2000};
        const ScriptedReply hugeJpeg{
            .body = kJpegMarker, .contentType = "image/jpeg", .length = qint64(1) << 30, .keepOpen = true};
        const QString invalid = u"服务器回复无效"_s;
        row("byte by byte", trickle, false, u"服务繁忙"_s);
        row("hang after headers", hangAfterHeaders, false, u"请求超时"_s);
        row("close mid-body", closeMidBody, false, invalid);
        row("10 MB garbage", {.body = noise}, false, invalid);
        // Six of the ten megabytes: under the client's limit, so all of it is read.
        row("6 MB garbage", {.body = noise.first(6 * 1024 * 1024)}, false, invalid);
        row("wrong content type",
            {.body = "<html><body>请先登录上网</body></html>", .contentType = "text/html; charset=utf-8"}, false,
            invalid);
        row("valid JSON, wrong shape", {.body = R"({"site":[],"apps":{"a":1},"latest":"none"})"}, false, invalid);
        row("redirect loop", redirect(302, "/api/store/home"), false, invalid);
        row("redirect to another port", redirect(307, elsewhere + "/api/store/home"), false, invalid);
        // The home call stops at its overall deadline (15 s) though a byte comes well within the idle time-out.
        row("a byte every 2 s", drip, false, u"请求超时"_s);
        row("wallpaper: redirect to another port", redirect(307, elsewhere + "/files/w.jpg"), true, u"原图下载失败"_s);
        row("wallpaper: path on another server", {}, true, u"下载地址无效"_s, 0,
            "@" + QUrl(m_elsewhere.base()).authority().toUtf8() + "/files/w.jpg");
        row("wallpaper: a byte every 2 s, cancelled", drip, true, u"已取消下载"_s, 1000);
        row("wallpaper: close mid-body", closeMidBody, true, u"下载失败"_s);
        row("wallpaper: 10 MB garbage", {.body = noise, .contentType = "image/jpeg"}, true, u"下载失败"_s);
        row("wallpaper: not a JPEG", {.body = "GIF89a\x01\x00\x01\x00 this is not a JPEG", .contentType = "image/jpeg"},
            true, u"下载失败"_s);
        row("wallpaper: JPEG marker, then noise",
            {.body = kJpegMarker + noise.first(65536), .contentType = "image/jpeg"}, true, u"下载失败"_s);
        row("wallpaper: a JPEG of 1 GB", hugeJpeg, true, u"下载失败"_s);
    }

    void actionEndsAndWindowStaysResponsive()
    {
        QFETCH(ScriptedReply, attack);
        QFETCH(bool, wallpaper);
        QFETCH(QString, message);
        QFETCH(int, cancelAfterMs);
        QFETCH(QByteArray, wallpaperPath);
        m_elsewhere.requests.clear();
        ServiceThread service(
            attack, json(QJsonObject{{"ok", true}, {"path", QString::fromUtf8(wallpaperPath)}, {"resolution", "5K"}}));
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
        const auto busy = [&] { return wallpaper ? store.wallpaperBusy().has_value() : store.loading(); };
        const auto quitWhenDone = [&] {
            if (!busy())
                loop.quit();
        };
        QObject::connect(&store, &Store::wallpaperBusyChanged, &loop, quitWhenDone);
        QObject::connect(&store, &Store::loadingChanged, &loop, quitWhenDone);
        if (wallpaper) {
            store.downloadWallpaper(QVariant::fromValue(decode<StoreWallpaper>(fixtures::wallpaper(u"w"_s))), true);
            if (cancelAfterMs > 0)
                QTimer::singleShot(cancelAfterMs, &store, &Store::cancelWallpaperDownload);
        } else {
            store.bootstrap();
        }
        loop.exec();
        ticker.stop();

        QVERIFY2(!busy(), wallpaper ? "the download never ended" : "the home page load never ended");
        QCOMPARE((wallpaper ? store.toast() : store.error()).value_or(u"<none>"_s), message);
        QVERIFY(platform.revealed.isEmpty());
        QVERIFY2(longestGap <= 50, qPrintable(u"the GUI thread worked %1 ms without a break"_s.arg(longestGap)));
        // Every call has an overall deadline of 15 s (20 s for the wallpaper's POST).
        QVERIFY2(clock.elapsed() < 22000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY2(m_elsewhere.requests.isEmpty(), m_elsewhere.requests.value(0).headers.value("cookie").constData());
        QCOMPARE(homeSnapshot(), before);
    }
};

QTEST_GUILESS_MAIN(HostileServiceTest)
#include "tst_hostile_service.moc"
