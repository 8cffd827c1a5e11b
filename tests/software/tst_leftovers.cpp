// What an uninstalled application left in the Library: the naming rule with its look-alikes, links that lead
// out of the Library, removal of the checked items, and an application that is still running.

#include "TestTree.h"

#include "software/LeftoverList.h"
#include "software/Leftovers.h"
#include "software/UninstallAction.h"

#include <QAbstractItemModelTester>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace TestTree;

namespace {

const QString kId = u"com.example.App"_s;
const QString kName = u"Example"_s;

} // namespace

class TestLeftovers : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    // kind: "file", "dir" (holding 5,000 bytes), "link-out" (to a file outside the Library), "link-in" (to a file
    // inside it), "folder-out" (the Library folder itself leads outside, holding the entry there).
    void make(const QString &library, const QString &entry, const QString &kind)
    {
        const QString path = library + u'/' + entry;
        const QString outside = m_dir.filePath(u"outside"_s);
        makeFolder(outside);
        writeFile(outside + u"/precious"_s, "keep");
        if (kind == u"file") {
            writeFile(path, QByteArray(700, 'p'));
        } else if (kind == u"dir") {
            writeFile(path + u"/data"_s, QByteArray(5000, 'd'));
        } else if (kind == u"link-out" || kind == u"link-in") {
            makeFolder(path.section(u'/', 0, -2));
            writeFile(library + u"/Preferences/inside"_s, "in");
            QVERIFY(
                QFile::link(kind == u"link-out" ? outside + u"/precious"_s : library + u"/Preferences/inside"_s, path));
        } else if (kind == u"folder-out") {
            const QString folder = entry.section(u'/', 0, 0);
            writeFile(outside + u'/' + folder + u'/' + entry.section(u'/', 1), "away");
            makeFolder(library);
            QVERIFY(QFile::link(outside + u'/' + folder, library + u'/' + folder));
        }
    }

private Q_SLOTS:
    void rule_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("match"); // "bundle-id", "name" or "" for not listed
        const QString id = u"bundle-id"_s, name = u"name"_s, none;
        QTest::newRow("support folder") << u"Application Support/com.example.App"_s << u"dir"_s << id;
        QTest::newRow("caches") << u"Caches/com.example.App"_s << u"dir"_s << id;
        QTest::newRow("preferences") << u"Preferences/com.example.App.plist"_s << u"file"_s << id;
        QTest::newRow("container") << u"Containers/com.example.App"_s << u"dir"_s << id;
        QTest::newRow("team group container") << u"Group Containers/ABCDE12345.com.example.App"_s << u"dir"_s << id;
        QTest::newRow("saved state") << u"Saved Application State/com.example.App.savedState"_s << u"dir"_s << id;
        QTest::newRow("cookies") << u"HTTPStorages/com.example.App.binarycookies"_s << u"file"_s << id;
        QTest::newRow("link inside") << u"WebKit/com.example.App"_s << u"link-in"_s << id;
        QTest::newRow("display name") << u"Logs/Example"_s << u"dir"_s << name;
        QTest::newRow("longer identifier") << u"Caches/com.example.AppHelper"_s << u"dir"_s << none;
        QTest::newRow("identifier as prefix") << u"Caches/com.example.App.helper"_s << u"dir"_s << none;
        QTest::newRow("shorter identifier") << u"Caches/com.example.Ap"_s << u"dir"_s << none;
        QTest::newRow("case") << u"Preferences/com.Example.app.plist"_s << u"file"_s << none;
        QTest::newRow("other suffix") << u"Preferences/com.example.App.plist.bak"_s << u"file"_s << none;
        QTest::newRow("group without team") << u"Group Containers/group.x.com.example.App"_s << u"dir"_s << none;
        QTest::newRow("team form elsewhere") << u"Containers/ABCDE12345.com.example.App"_s << u"dir"_s << none;
        QTest::newRow("folder not searched") << u"Documents/com.example.App"_s << u"dir"_s << none;
        QTest::newRow("name with more") << u"Application Support/Example Helper"_s << u"dir"_s << none;
        QTest::newRow("link out of the library") << u"Logs/com.example.App.plist"_s << u"link-out"_s << none;
        QTest::newRow("folder leading out") << u"Caches/com.example.App"_s << u"folder-out"_s << none;
    }
    void rule()
    {
        QFETCH(QString, entry);
        QFETCH(QString, kind);
        QFETCH(QString, match);
        const QString library = m_dir.filePath(QString::fromUtf8(QTest::currentDataTag()).replace(u' ', u'_'));
        make(library, entry, kind);
        const QList<Leftovers::Item> items = Leftovers::find(library, kId, kName);
        if (match.isEmpty()) {
            QVERIFY(items.isEmpty());
            return;
        }
        QCOMPARE(items.size(), 1);
        QCOMPARE(items[0].path, QDir(library).canonicalPath() + u'/' + entry);
        QCOMPARE(Leftovers::matchKey(items[0].match), match);
        if (kind == u"dir")
            QVERIFY(items[0].sizeBytes >= 5000);
        QVERIFY(Leftovers::isInsideLibrary(library, items[0].path));
        QVERIFY(Leftovers::find(library, QString(), QString()).isEmpty()); // no identifier, no name: nothing
    }

    // Checked items go to the Trash; unchecked and related ones stay; one gone meanwhile is reported as the
    // bundle's would be and stays listed.
    void moveCheckedToTrash()
    {
        const QString library = m_dir.filePath(u"trash-lib"_s);
        make(library, u"Caches/com.example.App"_s, u"dir"_s);
        make(library, u"Preferences/com.example.App.plist"_s, u"file"_s);
        make(library, u"HTTPStorages/com.example.App.binarycookies"_s, u"file"_s);
        make(library, u"Logs/Example"_s, u"dir"_s);
        LeftoverList list;
        QAbstractItemModelTester tester(&list, QAbstractItemModelTester::FailureReportingMode::QtTest);
        list.setLibrary(library);
        list.find(kId, kName);
        QTRY_VERIFY(list.searched() && !list.busy());
        QCOMPARE(list.count(), 4);
        QCOMPARE(list.checkedCount(), 3);
        QVERIFY(list.data(list.index(3), LeftoverList::RelatedRole).toBool());
        QCOMPARE(list.data(list.index(0), LeftoverList::PlaceRole).toString(), u"Caches/com.example.App"_s);
        list.setChecked(2, false); // HTTPStorages, kept
        QFile::remove(library + u"/Preferences/com.example.App.plist"_s);
        QSignalSpy removed(&list, &LeftoverList::removed);
        list.moveCheckedToTrash();
        QVERIFY(removed.wait(10000));
        QCOMPARE(removed.at(0).at(0).toInt(), 1);
        QVERIFY(!QFileInfo::exists(library + u"/Caches/com.example.App"_s));
        QVERIFY(QFileInfo::exists(library + u"/HTTPStorages/com.example.App.binarycookies"_s));
        QVERIFY(QFileInfo::exists(library + u"/Logs/Example"_s));
        QCOMPARE(list.count(), 3);
        QCOMPARE(list.error(), u"「Preferences/com.example.App.plist」没有移到废纸篓：应用已不存在，请重新扫描"_s);
    }

    // A running application is not removed; the sheet says so first.
    void runningAppIsNotRemoved()
    {
        const QString bundle = m_dir.filePath(u"apps/Sleeper.app"_s);
        makeFolder(bundle + u"/Contents/MacOS"_s);
        QVERIFY(QFile::copy(u"/bin/sleep"_s, bundle + u"/Contents/MacOS/Sleeper"_s));
        QFile::setPermissions(bundle + u"/Contents/MacOS/Sleeper"_s, QFileDevice::ExeOwner | QFileDevice::ReadOwner);
        QProcess sleeper;
        sleeper.start(bundle + u"/Contents/MacOS/Sleeper"_s, {u"30"_s});
        QVERIFY(sleeper.waitForStarted());
        UninstallAction action;
        action.start(bundle);
        QTRY_COMPARE(action.error(), UninstallAction::runningMessage.toString());
        QVERIFY(QFileInfo::exists(bundle));
        sleeper.kill();
        sleeper.waitForFinished();
        QSignalSpy done(&action, &UninstallAction::succeeded);
        action.start(bundle);
        QVERIFY(done.wait(10000));
        QVERIFY(!QFileInfo::exists(bundle));
    }
};

QTEST_GUILESS_MAIN(TestLeftovers)
#include "tst_leftovers.moc"
