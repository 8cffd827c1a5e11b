#include "software/SampleApps.h"

#include "software/SoftwareScanner.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUuid>

using namespace Qt::StringLiterals;

#ifndef VEXLO_SAMPLE_APPS_BUILD_DIR
#define VEXLO_SAMPLE_APPS_BUILD_DIR ""
#endif

namespace {

QString markerPath(const QString &target)
{
    return QDir::cleanPath(target) + u".seeded"_s;
}

// Copies the tree below from into to (which must not exist yet). Links are copied as links, never followed,
// and every copied item is left writable by its owner so it can be moved to the Trash later.
bool copyTree(const QString &from, const QString &to)
{
    if (!QDir().mkpath(to))
        return false;
    QDirIterator it(from, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo item(it.next());
        const QString destination = to + u'/' + QDir(from).relativeFilePath(item.filePath());
        if (item.isSymLink()) {
            if (!QFile::link(item.symLinkTarget(), destination))
                return false;
        } else if (item.isDir()) {
            if (!QDir().mkpath(destination))
                return false;
        } else {
            if (!QFile::copy(item.filePath(), destination))
                return false;
            QFile::setPermissions(destination, QFile::permissions(destination) | QFileDevice::WriteOwner);
        }
    }
    return true;
}

} // namespace

namespace SampleApps {

QString originalsDir()
{
    QStringList candidates;
    const QString fromEnv = qEnvironmentVariable("VEXLO_SAMPLE_APPS_DIR");
    if (!fromEnv.isEmpty())
        candidates << fromEnv;
    if (QCoreApplication::instance()) {
        const QString appDir = QCoreApplication::applicationDirPath();
        candidates << appDir + u"/../share/vexlo/sample-apps"_s << appDir + u"/../Resources/sample-apps"_s;
    }
    candidates << QString::fromUtf8(VEXLO_SAMPLE_APPS_BUILD_DIR);
    for (const QString &dir : std::as_const(candidates)) {
        if (!dir.isEmpty() && QFileInfo(dir).isDir())
            return QDir(dir).canonicalPath();
    }
    return {};
}

QString userDir()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
        u"/Vexlo/VexloToolbox/SampleApplications"_s;
}

bool seed(const QString &originals, const QString &target)
{
    const QString marker = markerPath(target);
    if (QFileInfo::exists(marker))
        return QFileInfo(target).isDir();
    if (originals.isEmpty() || !QFileInfo(originals).isDir())
        return false;
    const QString cleanTarget = QDir::cleanPath(target);
    if (QDir(originals).canonicalPath() == QFileInfo(cleanTarget).canonicalFilePath())
        return false; // never work on the originals themselves

    // Copy next to the target and rename into place, so a copy cut short is never taken for the seeded one.
    const QString parent = QFileInfo(cleanTarget).absolutePath();
    const QString staging = parent + u"/.seeding-"_s + QUuid::createUuid().toString(QUuid::Id128);
    if (!QFileInfo(cleanTarget).exists()) {
        if (!copyTree(originals, staging) || !QDir().rename(staging, cleanTarget)) {
            QDir(staging).removeRecursively();
            return false;
        }
    }
    QSaveFile file(marker);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(QDir(originals).canonicalPath().toUtf8() + '\n');
    return file.commit();
}

QStringList pageRoots()
{
    if (!inUse())
        return SoftwareScanner::defaultRoots();
    const QString target = userDir();
    seed(originalsDir(), target);
    return {target};
}

} // namespace SampleApps
