// Uninstalling: the move to the Trash with its record, the refusals and their messages, and what the application
// left in the Library (the naming rule with its look-alikes, links that lead out of the Library, removal of the
// checked items) and an application that is still running.
#include "TestTree.h"

#include "software/LeftoverList.h"
#include "software/Leftovers.h"
#include "software/SoftwareScanner.h"
#include "software/Trash.h"
#include "software/Uninstall.h"
#include "software/UninstallAction.h"

#include <QAbstractItemModelTester>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <sys/stat.h>

using namespace Qt::StringLiterals;
using namespace TestTree;

namespace {

const QString kGone = u"应用已不存在，请重新扫描"_s;
const QString kProtected = u"该应用属于系统组件，受系统完整性保护（SIP），无法卸载。"_s;
const QString kNoDeletePermission = u"没有删除权限。\n请在 Finder 中把该应用拖到废纸篓，并输入管理员密码。"_s;

QString noWriteMessage(const QString &parent)
{
    return u"没有写入权限，无法删除该应用。\n请检查「"_s + parent + u"」的访问权限，或用 Finder 手动删除。"_s;
}

UninstallResult failed(const QString &reason)
{
    return {false, reason};
}

const UninstallResult kRemoved{true, std::nullopt};

const QString kId = u"com.example.App"_s;
const QString kName = u"Example"_s;

} // namespace

char *toString(const UninstallResult &result)
{
    return QTest::toString(result.ok ? u"ok"_s : u"refused: "_s + result.reasonText());
}

class TestUninstall : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_trash;

    QString bundle(const QString &relativePath)
    {
        const QString path = m_dir.filePath(relativePath);
        writeFile(path + u"/Contents/MacOS/binary"_s, "binary");
        return path;
    }

    // What the Trash holds in "files" or "info".
    QStringList inTrash(const QString &folder) const
    {
        return QDir(m_trash + u'/' + folder)
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    }
    QStringList trashed() const { return inTrash(u"files"_s) + inTrash(u"info"_s); }

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
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        // Whatever the environment says, nothing here may reach the user's own Trash.
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir.filePath(u"data"_s)));
        m_trash = m_dir.filePath(u"data/Trash"_s);
        QCOMPARE(Trash::homeTrash(), m_trash);
    }

    // The refusals' own messages: a bundle gone (or no path at all), a folder that needs an administrator, and the
    // Trash's failures (another domain's code as it is; the system errors as the Trash reports them).
    void refusalMessages()
    {
        QCOMPARE(SoftwareScanner::uninstallNow(m_dir.filePath(u"Gone.app"_s)), failed(kGone));
        QCOMPARE(SoftwareScanner::uninstallNow(QString()), failed(kGone));
        QCOMPARE(Uninstall::permissionMessage(u"/Applications"_s),
                 u"「/Applications」需要管理员权限才能删除。\n请在 Finder 中把该应用拖到废纸篓"
                 u"（系统会要求输入密码），\n或用「在 Finder 中显示」找到它手动删除。"_s);
        QCOMPARE(Uninstall::trashFailureMessage({Trash::posixDomain.toString(), 513, u"odd"_s}),
                 u"卸载失败（513）：odd\n可尝试用 Finder 手动删除。"_s);
        QCOMPARE(Uninstall::trashFailureMessage(Trash::errorFromErrno(ENOENT)), kGone);
        QCOMPARE(Uninstall::trashFailureMessage(Trash::errorFromErrno(EACCES)), kNoDeletePermission);
    }

    void movesToTrashWithItsRecord()
    {
        const QString path = bundle(u"我的 Apps/Foo.app"_s);
        const QString path2 = bundle(u"Other/Foo.app"_s);

        QCOMPARE(SoftwareScanner::uninstall(path).result(), kRemoved);
        QVERIFY(!QFileInfo::exists(path));
        QVERIFY(QFileInfo::exists(m_trash + u"/files/Foo.app/Contents/MacOS/binary"_s));

        QFile info(m_trash + u"/info/Foo.app.trashinfo"_s);
        QVERIFY(info.open(QIODevice::ReadOnly));
        const QString record = QString::fromUtf8(info.readAll());
        const QString encoded = QString::fromLatin1(QUrl::toPercentEncoding(path, "/"));
        QVERIFY2(QRegularExpression(u"^\\[Trash Info\\]\nPath=\\Q"_s + encoded +
                                    u"\\E\nDeletionDate=\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\n?$"_s)
                     .match(record)
                     .hasMatch(),
                 qPrintable(record));

        // A second bundle of the same name gets a name of its own, never replacing the first; nor does one whose
        // name is taken by an item left in the Trash without its record.
        QCOMPARE(SoftwareScanner::uninstallNow(path2), kRemoved);
        writeFile(m_trash + u"/files/Bar.app"_s, "orphan");
        QCOMPARE(SoftwareScanner::uninstallNow(bundle(u"Bar.app"_s)), kRemoved);
        QCOMPARE(trashed(),
                 QStringList({u"Bar 2.app"_s, u"Bar.app"_s, u"Foo 2.app"_s, u"Foo.app"_s, u"Bar 2.app.trashinfo"_s,
                              u"Foo 2.app.trashinfo"_s, u"Foo.app.trashinfo"_s}));
        QVERIFY(QFileInfo(m_trash + u"/files/Bar.app"_s).isFile());

        // A link whose target is gone is moved as the link itself.
        QVERIFY(QFile::link(m_dir.filePath(u"nowhere"_s), m_dir.filePath(u"Dangling.app"_s)));
        QCOMPARE(SoftwareScanner::uninstallNow(m_dir.filePath(u"Dangling.app"_s)), kRemoved);
        QVERIFY(QFileInfo(m_trash + u"/files/Dangling.app"_s).isSymLink());
    }

    void systemComponents()
    {
        const QList<std::pair<QString, bool>> cases = {{u"Users/me/System/Tool.app"_s, true},
                                                       {u"Library/CoreServices/Finder.app"_s, true},
                                                       {u"Users/me/system/Tool.app"_s, false}};
        for (const auto &[relativePath, refused] : cases) {
            const QString path = bundle(u"sip/"_s + relativePath);
            QCOMPARE(SoftwareScanner::uninstallNow(path), refused ? failed(kProtected) : kRemoved);
            QCOMPARE(QFileInfo::exists(path), refused);
        }
    }

    // A folder that may not be written keeps the bundle, and that check comes before the system component one.
    // A read-only bundle in a writable folder cannot be moved either, and leaves no record in the Trash.
    void readOnly()
    {
        const QString shared = m_dir.filePath(u"Shared"_s);
        const QString path = bundle(u"Shared/Tool.app"_s);
        const QString system = m_dir.filePath(u"ro/System"_s);
        const QString systemPath = bundle(u"ro/System/Tool.app"_s);
        const QString locked = bundle(u"Writable/Locked.app"_s);
        makeFolder(m_trash + u"/files"_s);
        makeFolder(m_trash + u"/info"_s);
        handOver(m_dir.path());
        for (const QString &folder : {shared, system, locked})
            QCOMPARE(::chmod(native(folder).constData(), 0555), 0);
        const auto restore = qScopeGuard([&] {
            for (const QString &folder : {shared, system, locked})
                ::chmod(native(folder).constData(), 0755);
        });
        const QStringList trashedBefore = trashed();
        DROP_PRIVILEGES_OR_SKIP(user);
        QCOMPARE(SoftwareScanner::uninstallNow(path), failed(noWriteMessage(shared)));
        QCOMPARE(SoftwareScanner::uninstallNow(systemPath), failed(noWriteMessage(system)));
        QCOMPARE(SoftwareScanner::uninstallNow(locked), failed(kNoDeletePermission));
        for (const QString &bundle : {path, systemPath, locked})
            QVERIFY(QFileInfo::exists(bundle + u"/Contents/MacOS/binary"_s));
        QCOMPARE(trashed(), trashedBefore);
    }

    void otherFileSystemIsNotCopied()
    {
        struct stat shm, trash;
        makeFolder(m_trash);
        if (::stat("/dev/shm", &shm) != 0 || ::access("/dev/shm", W_OK) != 0 ||
            ::stat(native(m_trash).constData(), &trash) != 0 || shm.st_dev == trash.st_dev)
            QSKIP("needs a writable /dev/shm on a file system other than the Trash's");
        QTemporaryDir other(u"/dev/shm/uninstall-XXXXXX"_s);
        QVERIFY(other.isValid());
        const QString path = other.filePath(u"Far.app"_s);
        writeFile(path + u"/Contents/MacOS/binary"_s, "binary");
        const QStringList trashedBefore = trashed();
        const UninstallResult result = SoftwareScanner::uninstallNow(path);
        QVERIFY(!result.ok);
        QCOMPARE(result.reason,
                 u"卸载失败（%1）：%2\n可尝试用 Finder 手动删除。"_s.arg(EXDEV).arg(qt_error_string(EXDEV)));
        QVERIFY(QFileInfo::exists(path + u"/Contents/MacOS/binary"_s));
        QCOMPARE(trashed(), trashedBefore);
    }

    void rule_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("match"); // "bundle-id", "name" or "" for not listed
        const QString id = u"bundle-id"_s, name = u"name"_s, none;
        QTest::newRow("container") << u"Containers/com.example.App"_s << u"dir"_s << id;
        QTest::newRow("preferences") << u"Preferences/com.example.App.plist"_s << u"file"_s << id;
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

QTEST_GUILESS_MAIN(TestUninstall)
#include "tst_uninstall.moc"
