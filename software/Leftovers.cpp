#include "software/Leftovers.h"

#include "software/SampleApps.h"
#include "software/SoftwareScanner.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

const QString kGroupContainers = u"Group Containers"_s;

bool namedBy(const QString &entry, const QString &key)
{
    if (key.isEmpty())
        return false;
    if (entry == key)
        return true;
    for (const QString &suffix : {u".plist"_s, u".savedState"_s, u".binarycookies"_s}) {
        if (entry.size() == key.size() + suffix.size() && entry.startsWith(key) && entry.endsWith(suffix))
            return true;
    }
    return false;
}

qint64 entrySize(const QString &path)
{
    struct stat st;
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return 0;
    return st.st_size;
}

// Resolved through every link; empty when it cannot be (a dangling link).
QString canonical(const QString &path)
{
    return QFileInfo(path).canonicalFilePath();
}

bool within(const QString &path, const QString &root)
{
    return !path.isEmpty() && path.startsWith(root + u'/');
}

} // namespace

namespace Leftovers {

const QStringList &folders()
{
    static const QStringList list{
        u"Application Support"_s,     u"Caches"_s,       u"Preferences"_s, u"Containers"_s, kGroupContainers,
        u"Saved Application State"_s, u"HTTPStorages"_s, u"WebKit"_s,      u"Logs"_s,       u"LaunchAgents"_s};
    return list;
}

QString userLibrary()
{
    if (!SampleApps::inUse())
        return QDir::homePath() + u"/Library"_s;
    return SampleApps::pageRoots().value(0) + u"/Library"_s;
}

bool namedByBundleId(const QString &folder, const QString &entry, const QString &bundleId)
{
    if (namedBy(entry, bundleId))
        return true;
    if (folder != kGroupContainers || bundleId.isEmpty())
        return false;
    // A team identifier is letters and digits only, so "group.x.com.example.App" is not a team form.
    static const QRegularExpression team(u"^[A-Za-z0-9]+$"_s);
    const qsizetype dot = entry.indexOf(u'.');
    return dot > 0 && entry.mid(dot + 1) == bundleId && team.match(entry.left(dot)).hasMatch();
}

bool namedByDisplayName(const QString &entry, const QString &displayName)
{
    return namedBy(entry, displayName.trimmed().isEmpty() ? QString() : displayName);
}

bool isInsideLibrary(const QString &library, const QString &path)
{
    const QString root = canonical(library);
    const QFileInfo item(path);
    const QString parent = canonical(item.absolutePath());
    if (root.isEmpty() || !within(parent, root) || !folders().contains(parent.mid(root.size() + 1)))
        return false;
    // The item itself may be a link only when it leads back into the Library.
    return !item.isSymLink() || within(canonical(path), root);
}

QList<Item> find(const QString &library, const QString &bundleId, const QString &displayName)
{
    QList<Item> byId;
    QList<Item> byName;
    const QString root = canonical(library);
    if (root.isEmpty())
        return {};
    for (const QString &folder : folders()) {
        const QString folderPath = root + u'/' + folder;
        // A folder that is itself a link out of the Library is not searched.
        if (canonical(folderPath) != folderPath)
            continue;
        QDir dir(folderPath);
        const QStringList entries =
            dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
        for (const QString &entry : entries) {
            const bool id = namedByBundleId(folder, entry, bundleId);
            if (!id && !namedByDisplayName(entry, displayName))
                continue;
            const QString path = folderPath + u'/' + entry;
            if (!isInsideLibrary(root, path))
                continue;
            const QFileInfo info(path);
            qint64 size = entrySize(path);
            if (info.isDir() && !info.isSymLink())
                size += SoftwareScanner::directorySize(path);
            (id ? byId : byName).append({path, size, id ? Match::bundleId : Match::name});
        }
    }
    return byId + byName;
}

QString matchKey(Match match)
{
    return match == Match::bundleId ? u"bundle-id"_s : u"name"_s;
}

} // namespace Leftovers
