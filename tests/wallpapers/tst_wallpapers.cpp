// The wallpaper gallery against a scripted store service, and "设为桌面" against a fake desktop portal on the
// private session bus this test runs in (dbus-run-session).
#include "screens/wallpapers/DesktopWallpaper.h"
#include "screens/wallpapers/WallpaperGalleryModel.h"
#include "service/Endpoint.h"
#include "store/Store.h"

#include <QAbstractItemModelTester>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QFile>
#include <QQuickItem>
#include <QTemporaryDir>
#include <QtTest>

#include <QCoro/QCoroTask>

#include "../store/StoreJson.h"
#include "Fixtures.h"
#include "RecordingPlatform.h"
#include "ScreenEngine.h"
#include "ItemQuery.h"
#include "ScriptedServer.h"
#include "vexlo_qml_plugins.h"

using namespace Qt::StringLiterals;
using ItemQuery::named;
using ItemQuery::only;
using ItemQuery::press;

namespace {

ScriptedReply listReply(const QStringList &slugs, int delayMs = 0)
{
    QJsonArray list;
    for (const QString &slug : slugs)
        list.append(fixtures::wallpaper(slug));
    return json({{"sponsorActive", false}, {"wallpapers", list}}, delayMs);
}

// org.freedesktop.portal.Wallpaper on its own connection: records the call and answers through the request
// object, as the desktop portal does.
class FakePortal : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Wallpaper")
public:
    QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, u"fake-portal"_s);
    uint response = 0;
    QStringList uris;

    bool start()
    {
        return bus.registerObject(u"/org/freedesktop/portal/desktop"_s, this, QDBusConnection::ExportAllSlots) &&
            bus.registerService(u"org.freedesktop.portal.Desktop"_s);
    }

public Q_SLOTS:
    QDBusObjectPath SetWallpaperURI(const QString &, const QString &uri, const QVariantMap &options,
                                    const QDBusMessage &message)
    {
        uris.append(uri);
        QString sender = message.service().mid(1).replace(u'.', u'_');
        const QString path =
            u"/org/freedesktop/portal/desktop/request/"_s + sender + u'/' + options.value(u"handle_token"_s).toString();
        QTimer::singleShot(20, this, [this, path] {
            QDBusMessage signal = QDBusMessage::createSignal(path, u"org.freedesktop.portal.Request"_s, u"Response"_s);
            signal << response << QVariantMap();
            bus.send(signal);
        });
        return QDBusObjectPath(path);
    }
};

} // namespace

class WallpaperTest : public QObject
{
    Q_OBJECT

private:
    ScriptedServer m_server;
    QTemporaryDir m_pictures;
    RecordingPlatform m_platform;
    std::unique_ptr<ScreenEngine> m_screens;

    std::unique_ptr<QQuickItem> gallery() { return m_screens->load<QQuickItem>(u"Wallpapers/WallpaperGallery.qml"_s); }
    int listRequests() const
    {
        return int(std::ranges::count_if(m_server.requests, [](const RecordedRequest &r) {
            return r.method == "GET" && r.target.startsWith("/api/store/wallpapers");
        }));
    }

private Q_SLOTS:
    void init()
    {
        m_server.requests.clear();
        m_platform.pictures = m_pictures.path();
        Platform::setInstance(&m_platform);
        Endpoint::setBase(m_server.base());
        m_screens = std::make_unique<ScreenEngine>();
    }
    void cleanup()
    {
        m_screens.reset();
        Platform::setInstance(nullptr);
    }

    // First showing asks for every wallpaper without a query; each chip reloads; a reply that comes after a
    // newer one is dropped; a failed load keeps the list but shows why in its place, and 重试 loads it again.
    void loadFollowsTheCollection()
    {
        m_server.script("GET", "/api/store/wallpapers", listReply({"a1", "a2", "a3"}, 400));
        m_server.script("GET", "/api/store/wallpapers?collection=gradient", listReply({"g1"}));
        m_server.script("GET", "/api/store/wallpapers?collection=minimal", status(500, R"({"error":"坏了"})"));
        auto page = gallery();
        auto *model = page->property("model").value<WallpaperGalleryModel *>();
        QAbstractItemModelTester tester(model);
        QTRY_COMPARE(listRequests(), 1);
        QCOMPARE(m_server.requests.first().target, QByteArray("/api/store/wallpapers"));
        QVERIFY(only(page.get(), u"chip_all"_s)->property("filled").toBool());

        // "渐变" is pressed before the first list arrives: the late list of every wallpaper must not win.
        press(only(page.get(), u"chip_gradient"_s));
        QTRY_COMPARE(listRequests(), 2);
        QTRY_COMPARE(named(page.get(), u"wallpaperCard"_s).size(), 1);
        QTest::qWait(600);
        QCOMPARE(model->wallpapers().first().slug, u"g1"_s);
        QVERIFY(!only(page.get(), u"chip_all"_s)->property("filled").toBool());
        QVERIFY(only(page.get(), u"chip_gradient"_s)->property("filled").toBool());

        press(only(page.get(), u"chip_minimal"_s));
        QTRY_COMPARE(listRequests(), 3);
        QTRY_VERIFY(!model->loading());
        QCOMPARE(model->rowCount(), 1);
        QVERIFY(m_screens->store.toast() == std::nullopt);
        QQuickItem *failure = only(page.get(), u"wallpaperFailure"_s);
        QQuickItem *grid = only(page.get(), u"wallpaperGrid"_s);
        QVERIFY(failure->isVisible() && !grid->isVisible());
        QCOMPARE(only(failure, u"emptyHint"_s)->property("text").toString(), u"坏了"_s);

        m_server.script("GET", "/api/store/wallpapers?collection=minimal", listReply({"m1", "m2"}));
        press(only(failure, u"failureRetry"_s));
        QTRY_COMPARE(named(page.get(), u"wallpaperCard"_s).size(), 2);
        QVERIFY(!failure->isVisible() && grid->isVisible());
    }

    void cards_data()
    {
        QTest::addColumn<bool>("sponsor");
        QTest::newRow("signed out") << false;
        QTest::newRow("sponsor") << true;
    }
    // Signed out: the unlock button and a lock on every 5K button, which still asks for the file and is
    // refused by the service. A sponsor sees the unlocked line and download arrows. Either way only the card
    // being saved shows its progress; the others keep their buttons.
    void cards()
    {
        QFETCH(bool, sponsor);
        m_screens->store.setHome(
            decode<StoreHome>(fixtures::home(u"站"_s, sponsor ? std::optional(fixtures::member(true)) : std::nullopt)));
        m_server.script("GET", "/api/store/wallpapers", listReply({"a1", "a2", "a3"}));
        m_server.script("POST", "/api/store/wallpapers", status(402, R"({"error":"需要赞助"})"));
        auto page = gallery();
        QTRY_COMPARE(named(page.get(), u"wallpaperCard"_s).size(), 3);

        QCOMPARE(only(page.get(), u"unlockButton"_s)->isVisible(), !sponsor);
        QCOMPARE(only(page.get(), u"unlockedLine"_s)->isVisible(), sponsor);
        for (QQuickItem *button : named(page.get(), u"download5k"_s))
            QCOMPARE(only(button, u"capsuleSymbol"_s)->property("name").toString(),
                     sponsor ? u"arrow.down"_s : u"lock.fill"_s);

        if (!sponsor) {
            press(named(page.get(), u"download5k"_s).first());
            QTRY_COMPARE(m_screens->store.section(), Store::Section::member);
            const auto post = std::ranges::find(m_server.requests, QByteArray("POST"), &RecordedRequest::method);
            QCOMPARE(post->body, QByteArray(R"({"size":"full","slug":"a1"})"));
            m_screens->store.setSection(Store::Section::wallpapers);
            press(only(page.get(), u"unlockButton"_s));
            QCOMPARE(m_screens->store.section(), Store::Section::member);
        }

        m_screens->store.setWallpaperBusy(u"a2"_s);
        m_screens->store.setWallpaperProgress(1'500'000, 6'000'000);
        for (QQuickItem *card : named(page.get(), u"wallpaperCard"_s)) {
            const bool busy = card->property("slug").toString() == u"a2"_s;
            QCOMPARE(only(card, u"wallpaperSaving"_s)->isVisible(), busy);
            QCOMPARE(only(card, u"wallpaperButtons"_s)->isVisible(), !busy);
            QCOMPARE(only(card, u"wallpaperProgressText"_s)->property("text").toString(),
                     busy ? u"1.5 MB / 6.0 MB"_s : QString());
        }
    }

    // A saved picture offers "设为桌面"; the portal gets its file address and the outcome is a toast. With no
    // portal on the bus the toast says so.
    void setAsDesktop_data()
    {
        QTest::addColumn<bool>("portal");
        QTest::addColumn<uint>("response");
        QTest::addColumn<QString>("toast");
        QTest::newRow("applied") << true << 0u << u"已设为桌面"_s;
        QTest::newRow("declined") << true << 1u << u"已取消设为桌面"_s;
        QTest::newRow("no portal") << false << 0u << DesktopWallpaper::message(DesktopWallpaper::Outcome::unavailable);
    }
    void setAsDesktop()
    {
        QFETCH(bool, portal);
        QFETCH(uint, response);
        QFETCH(QString, toast);
        // The fake takes the portal's name: never on the desktop's own bus.
        if (!qEnvironmentVariableIsSet("VEXLO_PRIVATE_BUS"))
            QSKIP("runs in its own session bus (ctest: wallpapers_portal)");
        FakePortal fake;
        fake.response = response;
        if (portal)
            QVERIFY(fake.start());

        QFile saved(m_pictures.filePath(u"Vexlo-a2.jpg"_s));
        QVERIFY(saved.open(QIODevice::WriteOnly));
        saved.close();
        m_server.script("GET", "/api/store/wallpapers", listReply({"a1", "a2"}));
        auto page = gallery();
        QTRY_COMPARE(named(page.get(), u"wallpaperCard"_s).size(), 2);
        const auto buttons = named(page.get(), u"setAsDesktop"_s);
        QCOMPARE(buttons.size(), 2);
        QVERIFY(!buttons[0]->isVisible() && buttons[1]->isVisible());
        press(buttons[1]);
        QTRY_COMPARE(m_screens->store.toast().value_or(QString()), toast);
        if (portal)
            QCOMPARE(fake.uris, QStringList{QUrl::fromLocalFile(saved.fileName()).toString()});
        fake.bus.unregisterService(u"org.freedesktop.portal.Desktop"_s);
        QDBusConnection::disconnectFromBus(u"fake-portal"_s);
        QFile::remove(saved.fileName());
    }
};

QTEST_MAIN(WallpaperTest)
#include "tst_wallpapers.moc"
