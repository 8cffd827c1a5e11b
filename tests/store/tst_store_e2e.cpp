// Store against the real reference service: sign in, buy a plan in the sandbox, see the sponsorship.
#include "RecordingPlatform.h"

#include "service/Endpoint.h"
#include "service/StoreAPI.h"
#include "store/Platform.h"
#include "store/Store.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <QCoro/QCoroTask>

using namespace Qt::StringLiterals;

class TestStoreEndToEnd : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QProcess m_server;
    RecordingPlatform m_platform;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_server.setProgram(QStringLiteral(STORE_SERVER));
        m_server.setArguments({u"--port"_s, u"0"_s, u"--data-dir"_s, m_dir.filePath(u"data"_s)});
        m_server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_server.start();
        QVERIFY2(m_server.waitForStarted(), qPrintable(m_server.errorString()));
        const QRegularExpression listening(u"listening on (http://\\S+)"_s);
        QString banner;
        QTRY_VERIFY_WITH_TIMEOUT(
            (banner += QString::fromUtf8(m_server.readAllStandardOutput()), listening.match(banner).hasMatch()), 20000);
        Endpoint::setBase(listening.match(banner).captured(1));

        m_platform.pictures = m_dir.filePath(u"Pictures"_s);
        QDir().mkpath(m_platform.pictures);
        Platform::setInstance(&m_platform);
    }

    void cleanupTestCase()
    {
        Platform::setInstance(nullptr);
        m_server.terminate();
        if (!m_server.waitForFinished(5000))
            m_server.kill();
    }

    void signInBuyAndSponsor()
    {
        Store store(nullptr);
        const StoreWallpaper wallpaper = [&] {
            auto list = QCoro::waitFor(StoreAPI2::wallpaperList(std::nullopt));
            return list.ok() && !list.value().wallpapers.isEmpty() ? list.value().wallpapers.first() : StoreWallpaper{};
        }();
        QVERIFY(!wallpaper.slug.isEmpty());

        // Signed out: buying asks for the sign-in sheet.
        QCoro::waitFor(store.bootstrapTask());
        QVERIFY2(store.home(), qPrintable(store.error().value_or(QString())));
        QVERIFY(!store.member());
        QVERIFY(!store.home()->plans.isEmpty());
        const StorePlan plan = store.home()->plans.first();
        QCoro::waitFor(store.startCheckoutTask(plan));
        QVERIFY(store.showLogin());
        QVERIFY(!store.checkoutError());

        auto login = QCoro::waitFor(StoreAPI::login(u"member@vexlo.test"_s, u"vexlo-member"_s));
        QVERIFY(login.ok() && login.value().ok.value_or(false));
        QCoro::waitFor(store.bootstrapTask());
        QVERIFY(store.member());
        QVERIFY(!store.member()->sponsorActive);

        // Not yet a sponsor: the full-size wallpaper is refused and the membership page is shown.
        QCoro::waitFor(store.downloadWallpaperTask(wallpaper, true));
        QCOMPARE(store.toast(), std::optional<QString>(u"5K 原图需要赞助会员"_s));
        QCOMPARE(store.section(), Store::Section::member);

        QCoro::waitFor(store.startCheckoutTask(plan));
        QVERIFY2(store.checkout(), qPrintable(store.checkoutError().value_or(QString())));
        const QString orderNo = store.checkout()->orderNo;
        QCoro::waitFor(store.pollCheckoutTask());
        QCOMPARE(store.checkout()->orderNo, orderNo); // still open: not paid yet

        QCoro::waitFor(store.mockPayTask());
        QVERIFY2(!store.checkoutError(), qPrintable(store.checkoutError().value_or(QString())));
        QVERIFY(!store.checkout());
        QVERIFY(!store.checkoutBusy());
        QVERIFY(store.member() && store.member()->sponsorActive);
        const auto paid = std::find_if(store.orders().cbegin(), store.orders().cend(),
                                       [&](const OrderSummary &o) { return o.orderNo == orderNo; });
        QVERIFY(paid != store.orders().cend());
        QCOMPARE(paid->status, u"paid"_s);

        // Now the full size downloads and lands in the Pictures folder.
        QCoro::waitFor(store.downloadWallpaperTask(wallpaper, true));
        QVERIFY2(store.toast()->startsWith(u"已保存 "_s), qPrintable(*store.toast()));
        const QString target = QDir(m_platform.pictures).filePath(u"Vexlo-"_s + wallpaper.slug + u".jpg"_s);
        QVERIFY(QFileInfo(target).size() > 0);
        QCOMPARE(m_platform.revealed, QStringList{target});
    }
};

QTEST_GUILESS_MAIN(TestStoreEndToEnd)
#include "tst_store_e2e.moc"
