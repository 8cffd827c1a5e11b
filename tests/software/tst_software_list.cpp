// The software manager's list: update matching, the version test, sorting, removal, the sample
// folder, bundle icons and size labels.

#include "ModelColumn.h"
#include "TestTree.h"

#include "software/BundleIcon.h"
#include "software/ByteCount.h"
#include "software/SampleApps.h"
#include "software/SoftwareListModel.h"
#include "software/SoftwareScanner.h"
#include "software/Trash.h"
#include "software/UpdateMatch.h"

#include <QAbstractItemModelTester>
#include <QCryptographicHash>
#include <QGuiApplication>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <limits>

using namespace Qt::StringLiterals;
using namespace TestTree;

namespace {

QByteArray treeDigest(const QString &root)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    QStringList paths;
    while (it.hasNext())
        paths << it.next();
    paths.sort();
    for (const QString &path : std::as_const(paths)) {
        hash.addData(path.toUtf8());
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            hash.addData(file.readAll());
    }
    return hash.result().toHex();
}

} // namespace

class TestSoftwareList : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private Q_SLOTS:
    void isNewer_data()
    {
        QTest::addColumn<QString>("candidate");
        QTest::addColumn<QString>("installed");
        QTest::addColumn<bool>("newer");
        QTest::newRow("1.10 after 1.9") << u"1.10"_s << u"1.9"_s << true;
        QTest::newRow("2 equals 2.0") << u"2"_s << u"2.0"_s << false;
        QTest::newRow("2.0 equals 2") << u"2.0"_s << u"2"_s << false;
        QTest::newRow("1.2.1 after 1.2") << u"1.2.1"_s << u"1.2"_s << true;
        QTest::newRow("0.0 not after 未知") << u"0.0"_s << u"未知"_s << false;
        QTest::newRow("0.1 after 未知") << u"0.1"_s << u"未知"_s << true;
        QTest::newRow("empty pieces dropped") << u"1..2"_s << u"1.1"_s << true;
        QTest::newRow("3b counts as 0") << u"1.3b"_s << u"1.0"_s << false;
        QTest::newRow("leading plus is a number") << u"+2"_s << u"1"_s << true;
        QTest::newRow("minus is part of the number") << u"-1"_s << u"0"_s << false;
        QTest::newRow("overflow counts as 0") << u"99999999999999999999"_s << u"1"_s << false;
    }
    void isNewer()
    {
        QFETCH(QString, candidate);
        QFETCH(QString, installed);
        QFETCH(bool, newer);
        QCOMPARE(UpdateMatch::isNewer(candidate, installed), newer);
    }

    // No catalogue, then one: exact names only, first list wins, the badge only when the store is newer; removal.
    void matchingAndMarkers()
    {
        const QString root = m_dir.filePath(u"match"_s);
        makeBundle(root, u"Foo.app"_s, u"Foo"_s, u"1.9"_s);
        makeBundle(root, u"LowerFoo.app"_s, u"foo"_s, u"1.0"_s);
        makeBundle(root, u"Bar.app"_s, u"Bar"_s, u"2.0"_s);
        makeFolder(root + u"/Unknown.app/Contents"_s); // no Info.plist: version 未知, name from the file
        SoftwareListModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setRoots({root});
        QSignalSpy finished(&model, &SoftwareListModel::scanFinished);
        model.scan();
        QVERIFY(finished.wait(10000));
        QCOMPARE(column(model, SoftwareListModel::NameRole), (QStringList{u"Bar"_s, u"Foo"_s, u"foo"_s, u"Unknown"_s}));
        QCOMPARE(column(model, SoftwareListModel::HasUpdateRole).join(u','), u"false,false,false,false"_s);
        StoreHome home;
        home.featured = {storeApp(u"foo-app"_s, u"Foo"_s, u"1.10"_s)};
        home.top = {storeApp(u"foo-old"_s, u"Foo"_s, u"9.0"_s), storeApp(u"bar"_s, u"Bar"_s, u"2"_s)};
        home.latest = {storeApp(u"unknown"_s, u"Unknown"_s, u"0.0"_s)};
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        model.setHome(QVariant::fromValue(home));
        QCOMPARE(changed.size(), 1);
        QCOMPARE(column(model, SoftwareListModel::HasUpdateRole).join(u','), u"false,true,false,false"_s);
        QCOMPARE(column(model, SoftwareListModel::StoreVersionRole).join(u','), u"2,1.10,,0.0"_s);
        QCOMPARE(model.data(model.index(1), SoftwareListModel::StoreAppRole).value<StoreApp>().slug, u"foo-app"_s);
        QVERIFY(!model.data(model.index(2), SoftwareListModel::StoreAppRole).isValid());
        model.setHome(QVariant());
        QCOMPARE(column(model, SoftwareListModel::HasUpdateRole).join(u','), u"false,false,false,false"_s);
        // A removal takes the row out at once (the page holds the list while a rescan runs).
        QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
        model.remove(root + u"/LowerFoo.app"_s);
        QCOMPARE(removed.size(), 1);
        QCOMPARE(column(model, SoftwareListModel::NameRole), (QStringList{u"Bar"_s, u"Foo"_s, u"Unknown"_s}));
    }

    // Mixed Chinese and Latin names, case ignored, in the order of the locale's collation.
    void localeSort_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("sorted");
        const QStringList names{u"zeta"_s, u"北京"_s, u"Alpha"_s, u"啊"_s, u"beta"_s, u"Zeta2"_s, u"安"_s};
        // The Chinese collation orders Han characters by pinyin, ahead of Latin letters.
        const QStringList pinyin{u"啊"_s, u"安"_s, u"北京"_s, u"Alpha"_s, u"beta"_s, u"zeta"_s, u"Zeta2"_s};
        QTest::newRow("zh_CN: pinyin, then Latin") << u"zh_CN"_s << names << pinyin;
        // Locales without a collation of their own take the Chinese one, not code point order.
        QTest::newRow("C: as zh_CN") << u"C"_s << names << pinyin;
        QTest::newRow("en_US: case ignored") << u"en_US"_s << QStringList{u"b"_s, u"B2"_s, u"a"_s, u"A1"_s}
                                             << QStringList{u"a"_s, u"A1"_s, u"b"_s, u"B2"_s};
    }
    void localeSort()
    {
        QFETCH(QString, locale);
        QFETCH(QStringList, names);
        QFETCH(QStringList, sorted);
        QList<LocalApp> apps;
        for (const QString &name : names)
            apps.append(LocalApp(u"/x/"_s + name + u".app"_s, name, u"1"_s, {}, 0));
        SoftwareListModel::sortByName(apps, QLocale(locale));
        QStringList result;
        for (const LocalApp &app : apps)
            result << app.name();
        QCOMPARE(result, sorted);
    }

    // Seeded once from the originals; a removed sample stays removed, goes to the real Trash, and the
    // originals are never changed.
    void samplesSeededOnce()
    {
        const QString originals = SampleApps::originalsDir();
        QVERIFY2(!originals.isEmpty(), "the sample bundles were not built");
        const QByteArray before = treeDigest(originals);
        const QString target = m_dir.filePath(u"user/SampleApplications"_s);
        QVERIFY(SampleApps::seed(originals, target));
        const QList<LocalApp> seeded = SoftwareScanner::scan({target});
        QVERIFY(seeded.size() >= 8);
        const QString removedPath = target + u"/Lumen Launch.app"_s;
        const UninstallResult result = SoftwareScanner::uninstallNow(removedPath);
        QVERIFY2(result.ok, qPrintable(result.reasonText()));
        QVERIFY(QFileInfo::exists(Trash::homeTrash() + u"/files/Lumen Launch.app/Contents/Info.plist"_s));
        QVERIFY(SampleApps::seed(originals, target));
        QCOMPARE(SoftwareScanner::scan({target}).size(), seeded.size() - 1);
        QCOMPARE(treeDigest(originals), before);
        QVERIFY(!SampleApps::seed(originals, originals)); // never seeds onto the originals
        QCOMPARE(treeDigest(originals), before);
    }

    // The representation nearest the drawn size; nothing for a missing, unreadable or foreign icon.
    void bundleIcon_data()
    {
        QTest::addColumn<QByteArray>("keys");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("request");
        QTest::addColumn<int>("red"); // half the side of the representation used, -1: none
        const QByteArray icns = icnsWith({{"icp5", 32}, {"ic07", 128}, {"ic08", 256}});
        const auto row = [&](const char *name, int request, int red, const QByteArray &icon = "App",
                             const QString &file = u"App.icns"_s, const QByteArray &data = {}) {
            const QByteArray key =
                icon.isEmpty() ? QByteArray() : stringKey("CFBundleIconFile", QString::fromUtf8(icon));
            QTest::newRow(name) << key << file << (data.isEmpty() ? icns : data) << request << red;
        };
        row("smallest at least as large", 100, 64);
        row("exact", 32, 16);
        row("largest when all smaller", 512, 128);
        QTest::newRow("icon name key, extension given")
            << stringKey("CFBundleIconName", u"Other.icns"_s) << u"Other.icns"_s << icns << 38 << 64;
        row("missing file", 38, -1, "App", u"Else.icns"_s);
        row("not an image", 38, -1, "App", u"App.icns"_s, QByteArray("icns\0\0\0\x10garbage!", 16));
        row("path outside Resources", 38, -1, "../x", u"../x"_s);
        row("no icon key", 38, -1, {});
    }
    void bundleIcon()
    {
        QFETCH(QByteArray, keys);
        QFETCH(QString, file);
        QFETCH(QByteArray, data);
        QFETCH(int, request);
        QFETCH(int, red);
        const QString root = m_dir.filePath(u"icons/"_s + QString::fromUtf8(QTest::currentDataTag()));
        makeBundle(root, u"A.app"_s, u"A"_s, u"1"_s, keys);
        writeFile(root + u"/A.app/Contents/Resources/"_s + file, data);
        const QImage scaled = BundleIcon::load(root + u"/A.app"_s, QSize(request, request));
        if (red < 0) {
            QVERIFY(scaled.isNull());
            return;
        }
        QCOMPARE(scaled.size(), QSize(request, request));
        QCOMPARE(scaled.pixelColor(request / 2, request / 2).red(), red);
    }

    // Size labels: decimal units, halves rounded to even.
    void fileStyle_data()
    {
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << qint64(0) << u"Zero KB"_s;
        QTest::newRow("one byte") << qint64(1) << u"1 byte"_s;
        QTest::newRow("below a kilobyte") << qint64(999) << u"999 bytes"_s;
        QTest::newRow("one kilobyte") << qint64(1000) << u"1 KB"_s;
        QTest::newRow("half rounds to even up") << qint64(1500) << u"2 KB"_s;
        QTest::newRow("half rounds to even down") << qint64(2500) << u"2 KB"_s;
        QTest::newRow("stays below 1000 KB") << qint64(999'499) << u"999 KB"_s;
        QTest::newRow("1000 KB becomes MB") << qint64(999'500) << u"1 MB"_s;
        QTest::newRow("MB half to even down") << qint64(1'250'000) << u"1.2 MB"_s;
        QTest::newRow("MB half to even up") << qint64(1'350'000) << u"1.4 MB"_s;
        QTest::newRow("MB fraction zero dropped") << qint64(2'000'001) << u"2 MB"_s;
        QTest::newRow("1000 MB becomes GB") << qint64(999'950'000) << u"1 GB"_s;
        QTest::newRow("two fraction digits for GB") << qint64(1'234'567'890) << u"1.23 GB"_s;
        QTest::newRow("GB leading fraction zero kept") << qint64(1'050'000'000) << u"1.05 GB"_s;
        QTest::newRow("1000 GB becomes TB") << qint64(999'995'000'000) << u"1 TB"_s;
        QTest::newRow("largest size") << std::numeric_limits<qint64>::max() << u"9.22 EB"_s;
    }

    void fileStyle()
    {
        QFETCH(qint64, bytes);
        QFETCH(QString, text);
        QCOMPARE(fileByteCount(bytes), text);
        QCOMPARE(LocalApp(u"/Applications/A.app"_s, u"A"_s, u"1"_s, {}, bytes).sizeLabel(), text);
    }
};

QTEST_MAIN(TestSoftwareList)
#include "tst_software_list.moc"
