// The models whose rows arrive, leave or change in place, each watched by QAbstractItemModelTester (a broken
// row contract aborts the test) while driven through the calls the pages make (the software list's are in
// software_list).
#include "device/DeviceCheck.h"
#include "device/KeyboardMap.h"
#include "screens/wallpapers/WallpaperGalleryModel.h"
#include "service/Endpoint.h"

#include <QAbstractItemModelTester>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <QCoro/QCoroTask>

#include "StoreJson.h"
#include "ModelColumn.h"
#include "RecordingPlatform.h"
#include "ScriptedServer.h"

using namespace Qt::StringLiterals;

namespace {

constexpr auto kFatal = QAbstractItemModelTester::FailureReportingMode::Fatal;

} // namespace

class TestModels : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private Q_SLOTS:
    // Sections are appended as a run reads them, one is patched when the firmware password is read on request,
    // and a new run clears them before appending again.
    void deviceSections()
    {
        auto config = DiagnosticsConfig::forProfile(u"intel-desktop"_s);
        QVERIFY(config);
        config->cacheDir = m_dir.filePath(u"device-cache"_s);
        DeviceCheck check(*config);
        check.setHistoryFolder({});
        check.setStepPause(std::chrono::milliseconds(0));
        DeviceSectionModel *model = check.sectionModel();
        QAbstractItemModelTester tester(model, kFatal);
        QSignalSpy inserted(model, &QAbstractItemModel::rowsInserted);
        QCoro::waitFor(check.runAllTask(false));
        QCOMPARE(model->rowCount(), int(check.sections().size()));
        QCOMPARE(inserted.size(), model->rowCount());
        QVERIFY(check.firmwareCheckable());
        QSignalSpy patched(model, &QAbstractItemModel::dataChanged);
        QCoro::waitFor(check.checkFirmwareTask());
        QCOMPARE(patched.size(), 1);
        const QModelIndex management = patched.first().first().toModelIndex();
        QCOMPARE(management.data(DeviceSectionModel::IdRole).toString(), u"management"_s);
        QVERIFY(!check.firmwareCheckable());
        QSignalSpy reset(model, &QAbstractItemModel::modelReset);
        QCoro::waitFor(check.runAllTask(true));
        QCOMPARE(reset.size(), 1);
        QCOMPARE(model->rowCount(), int(check.sections().size()));
    }

    // A picture saved or deleted patches its row's saved flag.
    void wallpaperGallery()
    {
        ScriptedServer server;
        QJsonArray list{fixtures::wallpaper(u"a1"_s), fixtures::wallpaper(u"a2"_s)};
        server.script("GET", "/api/store/wallpapers", json({{u"sponsorActive"_s, false}, {u"wallpapers"_s, list}}));
        RecordingPlatform platform;
        platform.pictures = m_dir.filePath(u"pictures"_s);
        QVERIFY(QDir().mkpath(platform.pictures));
        Platform::setInstance(&platform);
        Endpoint::setBase(server.base());
        auto restore = qScopeGuard([] { Platform::setInstance(nullptr); });
        WallpaperGalleryModel model;
        QAbstractItemModelTester tester(&model, kFatal);
        QCoro::waitFor(model.loadTask());
        QCOMPARE(column(model, WallpaperGalleryModel::SlugRole), (QStringList{u"a1"_s, u"a2"_s}));
        QFile saved(WallpaperGalleryModel::savedPath(u"a2"_s));
        QVERIFY(saved.open(QIODevice::WriteOnly));
        saved.close();
        model.refreshSaved();
        QCOMPARE(column(model, WallpaperGalleryModel::SavedRole), (QStringList{u"false"_s, u"true"_s}));
        QVERIFY(saved.remove());
        model.refreshSaved();
        QCOMPARE(column(model, WallpaperGalleryModel::SavedRole), (QStringList{u"false"_s, u"false"_s}));
    }

    // Keys pressed while the map is active light their rows; a reset darkens them all.
    void keyboardMap()
    {
        KeyboardMap map;
        QAbstractItemModelTester tester(&map, kFatal);
        map.setActive(true);
        QObject receiver;
        const int a = KeyboardMap::indexFor(30 + 8, 0x00); // the A key: evdev 30, macOS 0x00
        QVERIFY(a >= 0);
        for (int i = 0; i < 2; ++i) { // the second press of the same key changes nothing
            QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, 30 + 8, 0x00, 0, u"a"_s);
            QCoreApplication::sendEvent(&receiver, &press);
        }
        map.light(0);
        QCOMPARE(map.seenCount(), 2);
        QVERIFY(map.index(a).data(KeyboardMap::LitRole).toBool());
        map.reset();
        QCOMPARE(map.seenCount(), 0);
        QVERIFY(!column(map, KeyboardMap::LitRole).contains(u"true"_s));
    }
};

QTEST_MAIN(TestModels)
#include "tst_models.moc"
