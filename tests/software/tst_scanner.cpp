#include "TestTree.h"

#include "software/SoftwareScanner.h"

#include <QTemporaryDir>
#include <QTest>

#include <plist/plist.h>

using namespace Qt::StringLiterals;
using namespace TestTree;

namespace {

QByteArray toBinary(const QByteArray &xml)
{
    plist_t node = nullptr;
    plist_from_xml(xml.constData(), static_cast<uint32_t>(xml.size()), &node);
    if (!node)
        return {};
    char *bin = nullptr;
    uint32_t length = 0;
    plist_to_bin(node, &bin, &length);
    plist_free(node);
    QByteArray result(bin, length);
    free(bin);
    return result;
}

QStringList names(const QList<LocalApp> &apps)
{
    QStringList result;
    for (const LocalApp &app : apps)
        result << app.bundlePath().section(u'/', -1);
    return result;
}

} // namespace

class TestScanner : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString fresh(const QString &name)
    {
        const QString path = m_dir.filePath(name);
        QDir(path).removeRecursively();
        makeFolder(path);
        return path;
    }

private Q_SLOTS:
    void onlyDirectAppEntries()
    {
        const QString root = fresh(u"Applications"_s);
        for (const QString &folder : {u"A.app"_s, u"Tools/C.app"_s, u"Old.APP"_s, u".Hidden.app"_s, u"app"_s})
            makeFolder(root + u'/' + folder);
        writeFile(root + u"/B.txt"_s, "text");
        writeFile(root + u"/Archive.app.zip"_s, "zip");
        // An Info.plist that is a FIFO must not block the scan; one that is a folder is simply unreadable.
        makeFolder(root + u"/Fifo.app/Contents"_s);
        QCOMPARE(::mkfifo(native(root + u"/Fifo.app/Contents/Info.plist"_s).constData(), 0644), 0);
        makeFolder(root + u"/Folder.app/Contents/Info.plist"_s);

        QList<LocalApp> apps = SoftwareScanner::scan({root});
        std::sort(apps.begin(), apps.end(), [](const auto &l, const auto &r) { return l.name() < r.name(); });
        QCOMPARE(names(apps), QStringList({u".Hidden.app"_s, u"A.app"_s, u"Fifo.app"_s, u"Folder.app"_s}));
        QCOMPARE(apps.at(1).bundlePath(), root + u"/A.app"_s);
    }

    void bundleInfo_data()
    {
        QTest::addColumn<QByteArray>("plist");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("bundleId");

        // Each as an XML and as a binary property list.
        const auto row = [](const char *label, const QByteArray &keys, const QString &name, const QString &version,
                            const QString &bundleId = {}) {
            QTest::addRow("xml: %s", label) << plistDict(keys) << name << version << bundleId;
            QTest::addRow("binary: %s", label) << toBinary(plistDict(keys)) << name << version << bundleId;
        };
        const QString unknown = u"未知"_s;
        row("all keys",
            "<key>CFBundleDisplayName</key><string>Shown</string><key>CFBundleName</key><string>Internal</string>"
            "<key>CFBundleShortVersionString</key><string>2.1</string><key>CFBundleVersion</key><string>210</string>"
            "<key>CFBundleIdentifier</key><string>com.example.shown</string>",
            u"Shown"_s, u"2.1"_s, u"com.example.shown"_s);
        row("name without display name", "<key>CFBundleName</key><string>Foo</string>", u"Foo"_s, unknown);
        row("numeric short version falls back",
            "<key>CFBundleShortVersionString</key><integer>3</integer><key>CFBundleVersion</key><string>1234</string>",
            u"Bundle"_s, u"1234"_s);
        row("non-string values are absent",
            "<key>CFBundleDisplayName</key><true/><key>CFBundleName</key><array/>"
            "<key>CFBundleShortVersionString</key><real>1.5</real><key>CFBundleIdentifier</key><integer>7</integer>",
            u"Bundle"_s, unknown);
        row("empty display name is kept",
            "<key>CFBundleDisplayName</key><string></string><key>CFBundleName</key><string>Foo</string>", QString(),
            unknown);
        const QByteArray arrayRoot = "<?xml version=\"1.0\"?><plist version=\"1.0\"><array>"
                                     "<string>CFBundleName</string></array></plist>";
        QTest::newRow("root is not a dictionary") << arrayRoot << u"Bundle"_s << unknown << QString();
        QTest::newRow("not a property list") << QByteArray("garbage \x01\x02") << u"Bundle"_s << unknown << QString();
    }

    void bundleInfo()
    {
        QFETCH(QByteArray, plist);
        QFETCH(QString, name);
        QFETCH(QString, version);
        QFETCH(QString, bundleId);
        const QString root = fresh(u"Info"_s);
        writeFile(root + u"/Bundle.app/Contents/Info.plist"_s, plist);
        const QList<LocalApp> apps = SoftwareScanner::scan({root});
        QCOMPARE(apps.size(), 1);
        QCOMPARE(apps.first().name(), name);
        QCOMPARE(apps.first().version(), version);
        QCOMPARE(apps.first().bundleId(), bundleId);
    }

    void sizeCountsLinksNotTheirTargets()
    {
        const QString outside = fresh(u"Outside"_s);
        writeFile(outside + u"/big.bin"_s, {});
        QVERIFY(QFile::resize(outside + u"/big.bin"_s, 1'000'000'000)); // sparse
        writeFile(outside + u"/folder/inner.bin"_s, QByteArray(5000, 'y'));
        const QString root = fresh(u"Sizes"_s);
        const QString bundle = root + u"/Linked.app"_s;
        writeFile(bundle + u"/Contents/data.bin"_s, QByteArray(1000, 'x'));
        writeFile(bundle + u"/Contents/a/.hidden"_s, QByteArray(10, 'h'));
        QVERIFY(QFile::link(outside + u"/big.bin"_s, bundle + u"/Contents/big"_s));
        QVERIFY(QFile::link(outside + u"/folder"_s, bundle + u"/Contents/folder"_s));
        const qint64 expected = entrySize(bundle + u"/Contents"_s) + 1000 + entrySize(bundle + u"/Contents/big"_s) +
            entrySize(bundle + u"/Contents/folder"_s) + entrySize(bundle + u"/Contents/a"_s) + 10;
        QCOMPARE(SoftwareScanner::directorySize(bundle), expected);
        QVERIFY(expected < 10'000);
        // A bundle that is itself a link to a big folder measures as the link.
        QVERIFY(QFile::link(outside, root + u"/Big.app"_s));
        const QList<LocalApp> apps = SoftwareScanner::scan({root});
        QCOMPARE(apps.size(), 2);
        for (const LocalApp &app : apps) {
            const bool link = app.bundlePath().endsWith(u"/Big.app"_s);
            QCOMPARE(app.sizeBytes(), link ? entrySize(root + u"/Big.app"_s) : expected);
        }
    }

    void unreadableFolderIsLeftOut()
    {
        const QString root = fresh(u"Locked"_s);
        const QString bundle = root + u"/Locked.app"_s;
        writeFile(bundle + u"/Contents/Info.plist"_s, plistDict(stringKey("CFBundleName", u"Locked"_s)));
        writeFile(bundle + u"/Contents/Secret/hidden.bin"_s, QByteArray(4000, 's'));
        const QString secret = bundle + u"/Contents/Secret"_s;
        const qint64 expected =
            entrySize(bundle + u"/Contents"_s) + entrySize(bundle + u"/Contents/Info.plist"_s) + entrySize(secret);
        handOver(m_dir.path());
        QCOMPARE(::chmod(native(secret).constData(), 0), 0);
        const auto restore = qScopeGuard([&] { ::chmod(native(secret).constData(), 0755); });
        QList<LocalApp> apps;
        {
            DROP_PRIVILEGES_OR_SKIP(user);
            apps = SoftwareScanner::scan({root});
        }
        QCOMPARE(apps.size(), 1);
        QCOMPARE(apps.first().name(), u"Locked"_s);
        QCOMPARE(apps.first().sizeBytes(), expected);
    }

    void rootsInOrderMissingSkippedEachBundleOnce()
    {
        const QString first = fresh(u"First"_s);
        const QString second = fresh(u"Second"_s);
        for (const QString &bundle : {first + u"/One.app"_s, first + u"/Two.app"_s, first + u"/Three.app"_s,
                                      second + u"/Four.app"_s, second + u"/Five.app"_s})
            makeFolder(bundle);

        const QString missing = m_dir.filePath(u"Missing"_s);
        QStringList parents;
        for (const LocalApp &app : SoftwareScanner::scan({missing, first, missing, second}))
            parents << app.bundlePath().section(u'/', -2, -2);
        QCOMPARE(parents, QStringList({u"First"_s, u"First"_s, u"First"_s, u"Second"_s, u"Second"_s}));
        QVERIFY(SoftwareScanner::scan({missing, fresh(u"Empty"_s)}).isEmpty());

        // The same folder named twice (a home folder of "/" makes both default roots "/Applications").
        QCOMPARE(SoftwareScanner::defaultRoots(u"/"_s), QStringList({u"/Applications"_s, u"/Applications"_s}));
        QCOMPARE(SoftwareScanner::scan({second, second + u'/', second}).size(), 2);
    }

    void parallelScanKeepsListingOrder()
    {
        // Bundles of very different sizes finish in a different order than they are listed.
        const QString root = fresh(u"Many"_s);
        for (int i = 0; i < 40; ++i) {
            const QString bundle = root + u"/App%1.app"_s.arg(i);
            const int files = (i % 4 == 0) ? 150 : 1;
            for (int f = 0; f < files; ++f)
                writeFile(bundle + u"/Contents/f%1"_s.arg(f), QByteArray(i + 1, 'z'));
        }
        const QStringList listing =
            QDir(root).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
        const QList<LocalApp> apps = SoftwareScanner::scan({root});
        QCOMPARE(names(apps), listing);
        for (const LocalApp &app : apps)
            QCOMPARE(app.sizeBytes(), SoftwareScanner::directorySize(app.bundlePath()));
        const QList<LocalApp> background = SoftwareScanner::scanInBackground({root}).result();
        QCOMPARE(background, apps);
    }
};

QTEST_GUILESS_MAIN(TestScanner)
#include "tst_scanner.moc"
