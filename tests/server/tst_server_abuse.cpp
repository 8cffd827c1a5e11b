// The store service under hostile and broken clients: each attack runs while a probe keeps requesting the home
// payload, which must go on answering; refusals carry their status and close the connection. Time-outs are
// shortened (1 s for a request, 2 s idle) so each attack takes a few seconds. The service is reached at an https
// address and creates its own data folder.
#include "RawHttp.h"
#include "ServerProcess.h"

#include <QDirIterator>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>
#include <QScopeGuard>
#include <atomic>
#include <csignal>
#include <functional>
#include <thread>

using namespace Qt::StringLiterals;

namespace {

const QString kPublicUrl = u"https://pay.vexlo.test/store"_s;
const QByteArray kOrder = R"({"planId":1,"payType":"wxpay","gateway":"xunhu"})";
constexpr int kMaxOpenOrders = 20;

// Requests the home payload every few milliseconds on its own thread; each must be answered within two seconds.
// Resetting the thread stops and joins it.
struct HomeProbe
{
    explicit HomeProbe(quint16 port)
        : thread([this, port](const std::stop_token &stop) { run(port, stop); })
    { }

    void run(quint16 port, const std::stop_token &stop)
    {
        RawConnection connection;
        bool open = false;
        while (!stop.stop_requested()) {
            if (!open && !(open = connection.open(port, {}, 2000))) {
                ++failed;
                continue;
            }
            const RawResponse response =
                connection.send(rawGet("/api/store/home")) ? connection.read(2000) : RawResponse{};
            if (response.status == 200) {
                ++answered;
                std::this_thread::sleep_for(std::chrono::milliseconds(20)); // a steady load, not a flood
            } else {
                ++failed;
                open = false;
            }
        }
    }

    std::atomic<int> answered{0};
    std::atomic<int> failed{0};
    std::jthread thread; // last, so the counters exist when it starts
};

// The process's resident size now (VmRSS) or at its peak (VmHWM).
qint64 residentKiB(qint64 pid, QByteArrayView field = "VmRSS:")
{
    QFile status(u"/proc/%1/status"_s.arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(field.size()).trimmed().split(' ').first().toLongLong();
    return 0;
}

// Starts the process's peak resident size (VmHWM) again from its current size.
bool resetPeak(qint64 pid)
{
    QFile clearRefs(u"/proc/%1/clear_refs"_s.arg(pid));
    return clearRefs.open(QIODevice::WriteOnly) && clearRefs.write("5") == 1;
}

// An attack returns what went wrong, or nothing.
using Attack = std::function<QString(quint16 port, qint64 pid)>;

// Sends an endless request (or body) in pieces; the server must answer with status and close before the end.
QString refusedMidStream(quint16 port, const QByteArray &start, const QByteArray &piece, int status)
{
    RawConnection connection;
    if (!connection.open(port))
        return u"cannot connect"_s;
    connection.send(start);
    for (qint64 sent = 0; sent < 64 * 1024 * 1024 && connection.socket().bytesAvailable() == 0; sent += piece.size())
        if (!connection.send(piece, 1000))
            break;
    const RawResponse response = connection.read(5000);
    if (response.status != status)
        return u"answered %1 instead of %2"_s.arg(response.status).arg(status);
    return connection.closedByServer(5000) ? QString() : u"connection left open"_s;
}

} // namespace

class ServerAbuseTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dataDir;
    ServerProcess m_server;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dataDir.isValid());
        QString error;
        QVERIFY2(m_server.start(dataFolder(), 0, &error,
                                {u"--public-url"_s, kPublicUrl + u'/', u"--idle-timeout"_s, u"2"_s,
                                 u"--request-timeout"_s, u"1"_s}),
                 qPrintable(error));
    }

    void homeKeepsAnsweringDuringAttack_data()
    {
        QTest::addColumn<Attack>("attack");

        QTest::newRow("request line of 64 MB") << Attack(
            [](quint16 port, qint64) { return refusedMidStream(port, "GET /", QByteArray(64 * 1024, 'a'), 414); });
        QTest::newRow("header section of 64 MB") << Attack([](quint16 port, qint64) {
            return refusedMidStream(port, "GET / HTTP/1.1\r\nHost: test\r\n",
                                    "X-Pad: " + QByteArray(1000, 'v') + "\r\n", 431);
        });
        QTest::newRow("eight 50 MB bodies") << Attack([](quint16 port, qint64 pid) {
            const qint64 before = residentKiB(pid);
            std::vector<std::thread> senders;
            std::atomic<int> refused{0};
            for (int i = 0; i < 8; ++i)
                senders.emplace_back([port, &refused] {
                    const QByteArray head =
                        "POST /api/auth/login HTTP/1.1\r\nHost: test\r\nContent-Length: 52428800\r\n\r\n";
                    if (refusedMidStream(port, head, QByteArray(256 * 1024, 'x'), 413).isEmpty())
                        ++refused;
                });
            for (std::thread &sender : senders)
                sender.join();
            const qint64 grownKiB = residentKiB(pid) - before;
            if (refused != 8)
                return u"%1 of 8 bodies refused with 413 and closed"_s.arg(refused.load());
            return grownKiB < 32 * 1024 ? QString() : u"the service grew by %1 KiB"_s.arg(grownKiB);
        });
        QTest::newRow("four clients pipelining picture requests, reading nothing")
            << Attack([](quint16 port, qint64 pid) {
                   const QByteArray picture = "/files/wallpapers/dawn-glow-4k.jpg";
                   if (exchange(port, rawGet(picture)).status != 200) // drawn once, before measuring
                       return u"the picture is not served"_s;
                   QByteArray requests;
                   for (int i = 0; i < 1000; ++i)
                       requests += rawGet(picture);
                   [[maybe_unused]] const qint64 before = residentKiB(pid);
                   std::vector<std::unique_ptr<RawConnection>> clients;
                   for (int i = 0; i < 4; ++i) {
                       auto &c = *clients.emplace_back(std::make_unique<RawConnection>());
                       c.socket().setReadBufferSize(4096);
                       if (!c.open(port))
                           return u"cannot connect"_s;
                       c.send(requests, 1000); // the service stops reading them
                   }
                   qint64 peak = 0;
                   for (QDeadlineTimer window(4000); !window.hasExpired();
                        std::this_thread::sleep_for(std::chrono::milliseconds(100)))
                       peak = qMax(peak, residentKiB(pid));
#ifndef __SANITIZE_ADDRESS__ // freed memory is held back there
                   if (peak - before > 32 * 1024)
                       return u"the service grew from %1 to %2 KiB"_s.arg(before).arg(peak);
#endif
                   for (auto &c : clients) // the 2 s idle time-out has passed without their output moving
                       if (!c->closedWhileDraining(3000))
                           return u"a client that read nothing for the idle time-out is still connected"_s;
                   return QString();
               });
        QTest::newRow("idle, half-sent heads and bodies") << Attack([](quint16 port, qint64) {
            std::vector<std::unique_ptr<RawConnection>> connections;
            for (int i = 0; i < 90; ++i) {
                auto &c = *connections.emplace_back(std::make_unique<RawConnection>());
                c.open(port);
                if (i % 3 == 1)
                    c.send("GET /api/store/home HTTP/1.1\r\nHo");
                else if (i % 3 == 2)
                    c.send("POST /api/auth/login HTTP/1.1\r\nHost: test\r\nContent-Type: application/json\r\n"
                           "Content-Length: 100\r\n\r\n{\"email\"");
            }
            for (std::size_t i = 0; i < connections.size(); ++i) {
                RawConnection &c = *connections[i];
                if (i % 3 == 0 ? !c.closedByServer(5000) : c.read(5000).status != 408 || !c.closedByServer())
                    return u"connection %1 was not closed at its time-out"_s.arg(i);
            }
            return QString();
        });
        QTest::newRow("five sign-in loops from rotating addresses") << Attack([](quint16 port, qint64 pid) {
            [[maybe_unused]] const qint64 before = residentKiB(pid);
            [[maybe_unused]] const bool peakReset = resetPeak(pid);
            std::atomic<int> wrong{0}, busy{0}, other{0};
            std::vector<std::thread> loops;
            for (int loop = 0; loop < 5; ++loop)
                loops.emplace_back([&, loop] {
                    const QByteArray request = rawSignIn(u"member@vexlo.test"_s, u"guess"_s);
                    for (int i = 0; i < 2; ++i) {
                        const QHostAddress source(u"127.0.%1.%2"_s.arg(loop + 1).arg(i + 2));
                        const int status = exchange(port, request, source).status;
                        (status == 403 ? wrong : status == 429 ? busy : other)++;
                    }
                });
            for (std::thread &loop : loops)
                loop.join();
            if (other > 0 || wrong == 0)
                return u"%1 wrong-password answers, %2 busy, %3 others"_s.arg(wrong.load())
                    .arg(busy.load())
                    .arg(other.load());
#ifndef __SANITIZE_ADDRESS__ // freed memory is held back there
            // Each check holds 64 MiB while it runs: two at once would pass 128.
            const qint64 peakGrownKiB = residentKiB(pid, "VmHWM:") - before;
            if (peakReset && peakGrownKiB > 100 * 1024)
                return u"the service grew by %1 KiB at its peak: password checks ran side by side"_s.arg(peakGrownKiB);
#endif
            return QString();
        });
        QTest::newRow("failures from another address do not lock the owner out") << Attack([](quint16 port, qint64) {
            const QHostAddress attacker(u"127.0.0.9"_s);
            const QByteArray wrong = rawSignIn(u"sponsor@vexlo.test"_s, u"wrong"_s);
            const QByteArray right = rawSignIn(u"sponsor@vexlo.test"_s, u"vexlo-sponsor"_s);
            QList<int> statuses;
            for (int i = 0; i < 6; ++i)
                statuses << exchange(port, wrong, attacker).status;
            statuses << exchange(port, right, attacker).status << exchange(port, right).status;
            const QList<int> expected{403, 403, 403, 403, 403, 429, 429, 200};
            return statuses == expected ? QString() : u"statuses %1"_s.arg(QDebug::toString(statuses));
        });
    }

    void homeKeepsAnsweringDuringAttack()
    {
        QFETCH(Attack, attack);
        HomeProbe probe(m_server.port());
        const QString fault = attack(m_server.port(), m_server.processId());
        QTRY_VERIFY_WITH_TIMEOUT(probe.answered >= 5 || probe.failed > 0, 10'000); // a fast attack ends early
        probe.thread = {};
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
        QCOMPARE(probe.failed, 0);
    }

    // Each request is followed on the same connection by a GET, which must be read as the next response (a HEAD
    // reply that carried a body would shift it), unless the first was refused: then the connection closes, and the
    // member is still signed in with no order made.
    void requestThenAnother_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("allow");
        QTest::addColumn<QByteArray>("connection"); // the reply's Connection field; a refusal's is always "close"
        const auto add = [](const char *name, const QByteArray &request, int status, const QByteArray &allow = {},
                            const QByteArray &connection = {}) {
            QTest::newRow(name) << request << status << allow << connection;
        };
        add("HEAD", rawGet("/api/store/home", "HEAD"), 200);
        add("HEAD of an unknown path", rawGet("/no-such-page", "HEAD"), 404);
        add("PUT on a read-only path", rawGet("/api/store/home", "PUT"), 405, "GET, HEAD, OPTIONS");
        add("DELETE on orders", rawGet("/api/store/orders", "DELETE"), 405, "GET, HEAD, POST, OPTIONS");
        add("OPTIONS", rawGet("/app/lumen-launch", "OPTIONS"), 200, "GET, HEAD, OPTIONS");
        add("OPTIONS *", rawGet("*", "OPTIONS"), 200, "GET, HEAD, POST, OPTIONS");
        add("absolute target", rawGet("https://pay.vexlo.test/api/store/home?x=1"), 200);
        add("WebSocket upgrade answered as plain HTTP",
            rawGet("/healthz", "GET",
                   "Connection: Upgrade\r\nUpgrade: websocket\r\nSec-WebSocket-Version: 13\r\n"
                   "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n"),
            200);
        add("HTTP/1.0 keep-alive", "GET /healthz HTTP/1.0\r\nConnection: keep-alive\r\n\r\n", 200, {}, "keep-alive");
        // A refused length closes the connection: the bytes behind it are never read as the next request.
        const QByteArray logout = "POST /api/auth/logout HTTP/1.1\r\nHost: test\r\n";
        add("Content-Length: -1", logout + "Content-Length: -1\r\n\r\n{}", 400);
        add("Content-Length: 2 / Content-Length: 0", logout + "Content-Length: 2\r\nContent-Length: 0\r\n\r\n{}", 400);

        // Forged requests, with the member's session: only JSON, and only from the service's own origin or none.
        const auto checkout = [this](const QByteArray &fields) {
            return rawPost("/api/store/checkout", kOrder, memberCookie(), fields);
        };
        const QByteArray json = "Content-Type: application/json\r\n";
        const QByteArray evil = "Origin: http://evil.example\r\n";
        add("plain text from another site", checkout(evil + "Content-Type: text/plain\r\n"), 403);
        add("JSON from another site", checkout(evil + json), 403);
        add("JSON from another port of the host", checkout("Origin: https://pay.vexlo.test:8443\r\n" + json), 403);
        add("JSON from an opaque origin", checkout("Origin: null\r\n" + json), 403);
        add("plain text", checkout("Content-Type: text/plain\r\n"), 415);
        add("form", checkout("Content-Type: application/x-www-form-urlencoded\r\n"), 415);
        add("no type", checkout({}), 415);
        add("payment as plain text",
            rawPost("/api/store/orders", R"({"orderNo":"VX0"})", memberCookie(), "Content-Type: text/plain\r\n"), 415);
        add("sign-out from another site", rawPost("/api/auth/logout", {}, memberCookie(), evil), 403);
        add("JSON from the service's own pages",
            checkout("Origin: https://pay.vexlo.test\r\nContent-Type: Application/JSON; charset=utf-8\r\n"), 200);
        add("JSON without an origin, as the app sends it", checkout(json), 200);
    }

    void requestThenAnother()
    {
        QFETCH(QByteArray, request);
        QFETCH(int, status);
        QFETCH(QByteArray, allow);
        QFETCH(QByteArray, connection);
        const auto orders = history();
        QVERIFY(orders);
        RawConnection client;
        QVERIFY(client.open(m_server.port()));
        QVERIFY(client.send(request + rawGet("/api/store/search?q=json", "GET", "Connection: close\r\n")));
        const bool head = request.startsWith("HEAD");
        const bool refused = status >= 400 && status != 404 && status != 405;
        const RawResponse first = client.read(5000, head);
        QCOMPARE(first.status, status);
        QCOMPARE(first.header("Allow"), allow);
        QCOMPARE(first.header("Connection"), refused ? "close"_ba : connection);
        if (head) {
            const RawResponse get = exchange(m_server.port(), request.replace(0, 4, "GET"));
            QCOMPARE(first.header("Content-Length"), QByteArray::number(get.body.size()));
        }
        if (refused) {
            QVERIFY(client.closedByServer());
            QVERIFY(history() == orders);
            return;
        }
        const RawResponse next = client.read(5000);
        QCOMPARE(next.status, 200);
        QVERIFY(next.body.startsWith("{\"apps\":"));
        QVERIFY(client.closedByServer()); // as that request asked
    }

    // Payment addresses use the public address whatever Host says; over https the session cookie is Secure.
    void publicHttpsAddressIsHonoured()
    {
        const RawResponse login = exchange(m_server.port(), rawSignIn(u"member@vexlo.test"_s, u"vexlo-member"_s));
        QVERIFY2(login.header("Set-Cookie").endsWith("; Secure"), login.header("Set-Cookie").constData());
        const QByteArray cookie = sessionCookie(login);
        const RawResponse checkout = exchange(
            m_server.port(), rawPost("/api/store/checkout", kOrder, cookie).replace("Host: test", "Host: evil"));
        QCOMPARE(checkout.status, 200);
        const QString redirect = QJsonDocument::fromJson(checkout.body).object().value(u"redirect"_s).toString();
        QVERIFY2(redirect.startsWith(kPublicUrl + u"/pay/VX"_s), qPrintable(redirect));
        const RawResponse logout = exchange(m_server.port(), rawPost("/api/auth/logout", {}, cookie, {}));
        QCOMPARE(logout.status, 200);
        QVERIFY2(logout.header("Set-Cookie").endsWith("; Secure"), logout.header("Set-Cookie").constData());
    }

    // Checkouts sent back to back stop at the cap of open orders; a paid order no longer counts.
    void openOrdersPerMemberAreCapped()
    {
        const auto pending = [this] {
            QStringList orderNos;
            for (const QJsonValue &order : history().value_or(QJsonArray()))
                if (order[u"status"_s] == u"pending"_s)
                    orderNos << order[u"orderNo"_s].toString();
            return orderNos;
        };
        const qsizetype open = pending().size();
        QVERIFY(open < kMaxOpenOrders);
        const QByteArray checkout = rawPost("/api/store/checkout", kOrder, memberCookie());
        RawConnection client;
        QVERIFY(client.open(m_server.port()));
        QVERIFY(client.send(checkout.repeated(kMaxOpenOrders + 5)));
        QList<int> statuses;
        for (int i = 0; i < kMaxOpenOrders + 5; ++i)
            statuses << client.read(5000).status;
        QCOMPARE(statuses, QList<int>(kMaxOpenOrders - open, 200) + QList<int>(open + 5, 429));
        const QStringList orderNos = pending();
        QCOMPARE(orderNos.size(), kMaxOpenOrders);

        const QByteArray pay = "{\"orderNo\":\"" + orderNos.first().toLatin1() + "\"}";
        QVERIFY(client.send(rawPost("/api/store/orders", pay, memberCookie()) + checkout + checkout));
        QCOMPARE((QList<int>{client.read(5000).status, client.read(5000).status, client.read(5000).status}),
                 (QList<int>{200, 200, 429}));
    }

    // While the service is stopped, only its listen backlog holds new connections: past it, a connection waits a
    // second for the retransmitted handshake. A burst of 200 must all be held, and then served.
    void burstOfConnectionsIsHeld()
    {
        const pid_t pid = pid_t(m_server.processId());
        QCOMPARE(::kill(pid, SIGSTOP), 0);
        auto resume = qScopeGuard([pid] { ::kill(pid, SIGCONT); });
        std::vector<std::unique_ptr<RawConnection>> clients(200);
        for (auto &client : clients) {
            client = std::make_unique<RawConnection>();
            client->socket().connectToHost(QHostAddress::LocalHost, m_server.port());
        }
        const QDeadlineTimer deadline(700);
        int held = 0;
        for (auto &client : clients)
            held += client->socket().waitForConnected(int(qMax<qint64>(1, deadline.remainingTime())));
        resume.dismiss();
        ::kill(pid, SIGCONT);
        QCOMPARE(held, 200);
        for (auto &client : clients) {
            QVERIFY(client->send(rawGet("/healthz")));
            QCOMPARE(client->read(10'000).status, 200);
        }
    }

    // Last, after every kind of file was written: nothing in the data folder is open to other users.
    void dataFolderIsPrivate()
    {
        constexpr QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
            QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
        QStringList paths{dataFolder()}, open;
        QDirIterator it(dataFolder(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            paths << it.next();
        QVERIFY(paths.contains(dataFolder() + u"/store.sqlite"_s));
        QVERIFY(paths.contains(dataFolder() + u"/wallpapers/dawn-glow-4k.jpg"_s));
        for (const QString &path : paths)
            if (QFileInfo(path).permissions() & others)
                open << path;
        QVERIFY2(open.isEmpty(), qPrintable(open.join(u", "_s)));
    }

private:
    QString dataFolder() const
    {
        return m_dataDir.filePath(u"data"_s);
    }

    // The member's session as a Cookie field line; signed in once.
    QByteArray memberCookie()
    {
        if (m_cookie.isEmpty())
            m_cookie = sessionCookie(exchange(m_server.port(), rawSignIn(u"member@vexlo.test"_s, u"vexlo-member"_s)));
        return m_cookie;
    }

    // The member's orders; nothing when the session does not answer.
    std::optional<QJsonArray> history()
    {
        const RawResponse reply = exchange(m_server.port(), rawGet("/api/store/orders", "GET", memberCookie()));
        if (reply.status != 200)
            return std::nullopt;
        return QJsonDocument::fromJson(reply.body)[u"orders"_s].toArray();
    }

    QByteArray m_cookie;
};

QTEST_GUILESS_MAIN(ServerAbuseTest)
#include "tst_server_abuse.moc"
