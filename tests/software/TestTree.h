#pragma once

// Helpers for tests that build small folder trees and app bundles (and the store entries matched against them)
// and, when running as root, act as an ordinary user so that file permissions apply.

#include "service/CatalogRecords.h"

#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QString>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace TestTree {

inline constexpr uid_t kNobody = 65534;

inline QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

inline void makeFolder(const QString &path)
{
    QVERIFY2(QDir().mkpath(path), qPrintable(path));
}

inline void writeFile(const QString &path, const QByteArray &data)
{
    QDir().mkpath(path.section(u'/', 0, -2));
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    QCOMPARE(file.write(data), data.size());
}

// A property list whose root is a dictionary holding `body`.
inline QByteArray plistDict(const QByteArray &body)
{
    return "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict>" + body + "</dict></plist>";
}

// One string entry of a property list dictionary.
inline QByteArray stringKey(const QByteArray &key, const QString &value)
{
    return "<key>" + key + "</key><string>" + value.toUtf8() + "</string>";
}

// An app bundle `root/file` whose Info.plist names it and its version, with `extraKeys` added to the dictionary.
inline void makeBundle(const QString &root, const QString &file, const QString &name, const QString &version,
                       const QByteArray &extraKeys = {})
{
    writeFile(
        root + u'/' + file + QStringLiteral("/Contents/Info.plist"),
        plistDict(stringKey("CFBundleName", name) + stringKey("CFBundleShortVersionString", version) + extraKeys));
}

// An ICNS file holding one PNG element per side.
inline QByteArray icnsWith(std::initializer_list<std::pair<const char *, int>> elements)
{
    const auto be32 = [](quint32 v) {
        const char b[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
        return QByteArray(b, 4);
    };
    QByteArray body;
    for (const auto &[type, side] : elements) {
        QImage image(side, side, QImage::Format_ARGB32);
        image.fill(QColor(side / 2, 0, 0));
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        body += QByteArray(type, 4) + be32(png.size() + 8) + png;
    }
    return "icns" + be32(body.size() + 8) + body;
}

// A store entry to match installed apps against.
inline StoreApp storeApp(const QString &slug, const QString &name, const QString &version)
{
    return {.slug = slug, .name = name, .version = version};
}

inline qint64 entrySize(const QString &path)
{
    struct stat st;
    if (::lstat(native(path).constData(), &st) != 0)
        return -1;
    return st.st_size;
}

// Gives a whole tree to the unprivileged user (when we are root), so it can be used after dropping privileges.
inline void handOver(const QString &root)
{
    if (::geteuid() != 0)
        return;
    ::chmod(native(root).constData(), 0755);
    ::lchown(native(root).constData(), kNobody, kNobody);
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        ::lchown(native(it.next()).constData(), kNobody, kNobody);
}

// While alive, the process acts as "nobody" if it was root (glibc applies seteuid to every thread, so the
// worker pool is affected too). ok is false when privileges could not be dropped.
struct Unprivileged
{
    const bool root = ::geteuid() == 0;
    const bool ok = !root || (::setegid(kNobody) == 0 && ::seteuid(kNobody) == 0);
    ~Unprivileged()
    {
        if (root) {
            (void)::seteuid(0);
            (void)::setegid(0);
        }
    }
};

} // namespace TestTree

#define DROP_PRIVILEGES_OR_SKIP(guard)                                                                                 \
    TestTree::Unprivileged guard;                                                                                      \
    if (!guard.ok)                                                                                                     \
    QSKIP("running as root and cannot act as an unprivileged user: permissions would not apply")
