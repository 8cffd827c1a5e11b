// Writes the sample application bundles the software manager shows off macOS: real Info.plist files (XML and
// binary) and ICNS icons drawn from the app's symbol font, and a sample Library (Library/) beside them with
// what one of them left behind. Several carry names of store entries at older versions, so the page shows
// update markers against the reference service.
//   vexlo_make_sample_apps OUTPUT_DIR

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRandomGenerator>
#include <QTextStream>

#include <plist/plist.h>

#include <cstdio>
#include <cstdlib>

using namespace Qt::StringLiterals;

namespace {

enum class Format { xml, binary };

struct Sample
{
    const char *bundle; // folder name without ".app"
    Format format;
    const char *displayName; // CFBundleDisplayName, or nullptr
    const char *bundleName; // CFBundleName, or nullptr
    const char *shortVersion; // CFBundleShortVersionString as a string, or nullptr
    double numericShortVersion; // CFBundleShortVersionString as a number (not a string) when > 0
    const char *bundleVersion; // CFBundleVersion, or nullptr
    const char *identifier;
    const char *iconKey; // "CFBundleIconFile" or "CFBundleIconName"
    const char *iconName; // the value; the file is written only when glyph is set
    char16_t glyph; // Material Icons code point, 0 for a bundle whose icon file is missing
    QRgb from;
    QRgb to;
    int assetKilobytes;
};

// Store names at older versions (流光启动器, 港湾终端, 胶片影院, 色井, 灵感对话, and 磁带工坊, which is on no
// home list), the same version (钥匙库, 窗格管家, 日程方格) and apps the store does not list, with Latin names
// in mixed case for the sort.
const Sample kSamples[] = {
    {"Lumen Launch", Format::xml, "流光启动器", "Lumen Launch", "3.1.0", 0, "310", "com.vexlo.sample.lumen-launch",
     "CFBundleIconFile", "AppIcon", 0xe65f, 0xff0a84ff, 0xff64d2ff, 420},
    {"Shell Harbor", Format::binary, "港湾终端", nullptr, "1.9.2", 0, "192", "com.vexlo.sample.shell-harbor",
     "CFBundleIconFile", "ShellHarbor.icns", 0xeb8e, 0xff1c1c1e, 0xff5e5ce6, 880},
    {"Reel Cinema", Format::binary, nullptr, "胶片影院", nullptr, 0, "6", "com.vexlo.sample.reel-cinema",
     "CFBundleIconFile", "Reel", 0xe02c, 0xffff9f0a, 0xffff375f, 1530},
    {"Palette Well", Format::xml, "色井", nullptr, nullptr, 2.7, "2.7.9", "com.vexlo.sample.palette-well",
     "CFBundleIconName", "AppIcon", 0xe40a, 0xffff375f, 0xffaf52de, 260},
    {"Muse Chat", Format::xml, "灵感对话", nullptr, nullptr, 0, nullptr, "com.vexlo.sample.muse-chat",
     "CFBundleIconFile", "AppIcon", 0xe65f, 0xffbf5af2, 0xff5e5ce6, 95},
    {"Key Vault", Format::binary, "钥匙库", nullptr, "7.4.0", 0, "740", "com.vexlo.sample.key-vault",
     "CFBundleIconFile", "AppIcon", 0xe0da, 0xff34c759, 0xff30b0c7, 610},
    {"Tidy Windows", Format::xml, "窗格管家", nullptr, "2.6.0", 0, "260", "com.vexlo.sample.tidy-windows",
     "CFBundleIconFile", "AppIcon", 0xe236, 0xff5e5ce6, 0xff0a84ff, 150},
    {"aurora Notes", Format::xml, "aurora Notes", nullptr, "1.0.4", 0, "14", "com.vexlo.sample.aurora-notes",
     "CFBundleIconFile", "AppIcon", 0xe14f, 0xffffd60a, 0xffff9f0a, 48},
    {"Beacon", Format::binary, nullptr, "Beacon", "0.3.1", 0, "31", "com.vexlo.sample.beacon", "CFBundleIconFile",
     "Beacon", 0, 0, 0, 12},
    {"Calendar Grid", Format::xml, "日程方格", nullptr, "2.3.5", 0, "235", "com.vexlo.sample.day-grid",
     "CFBundleIconFile", "AppIcon", 0xe935, 0xffff453a, 0xffff9f0a, 330},
    {"Tape Deck", Format::xml, "磁带工坊", nullptr, "2.4.0", 0, "240", "com.vexlo.sample.tape-deck", "CFBundleIconFile",
     "AppIcon", 0xe019, 0xffff9f0a, 0xffff453a, 540},
};

// What 港湾终端 leaves in the Library, with look-alikes that are not its own: a longer identifier sharing its
// start, one differing in case, a folder named like it that leads out of the Library, and a log folder that
// only shares its display name.
struct LibraryItem
{
    const char *path; // relative to Library; a trailing "/" makes a folder holding one file of `bytes`
    int bytes;
    const char *linkTo; // a symbolic link with this target instead
};
const LibraryItem kLibrary[] = {
    {"Application Support/com.vexlo.sample.shell-harbor/", 182000, nullptr},
    {"Caches/com.vexlo.sample.shell-harbor/", 640000, nullptr},
    {"Preferences/com.vexlo.sample.shell-harbor.plist", 2100, nullptr},
    {"Saved Application State/com.vexlo.sample.shell-harbor.savedState/", 4300, nullptr},
    {"HTTPStorages/com.vexlo.sample.shell-harbor.binarycookies", 1200, nullptr},
    {"Group Containers/8K2D5QX7LM.com.vexlo.sample.shell-harbor/", 24000, nullptr},
    {"Logs/港湾终端/", 36000, nullptr},
    {"Caches/com.vexlo.sample.shell-harbor-helper/", 52000, nullptr},
    {"Preferences/com.vexlo.sample.Shell-Harbor.plist", 900, nullptr},
    {"Application Support/Shell Harbor Pro/", 8000, nullptr},
    {"WebKit/com.vexlo.sample.shell-harbor", 0, "../../Beacon.app"},
    {"Preferences/com.vexlo.sample.lumen-launch.plist", 1800, nullptr},
    {"Caches/com.vexlo.sample.lumen-launch/", 96000, nullptr},
};

constexpr int kIconSides[] = {32, 64, 128, 256};
// ICNS element types holding PNG data of these sides.
constexpr const char *kIconTypes[] = {"icp5", "icp6", "ic07", "ic08"};

QImage drawIcon(const Sample &sample, int side, const QString &fontFamily)
{
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal inset = side * 0.08;
    const QRectF box(inset, inset, side - 2 * inset, side - 2 * inset);
    QLinearGradient gradient(box.topLeft(), box.bottomRight());
    gradient.setColorAt(0, QColor::fromRgba(sample.from));
    gradient.setColorAt(1, QColor::fromRgba(sample.to));
    QPainterPath path;
    path.addRoundedRect(box, box.width() * 0.225, box.height() * 0.225);
    painter.fillPath(path, gradient);
    QFont font(fontFamily);
    font.setPixelSize(qRound(box.width() * 0.56));
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(box, Qt::AlignCenter, QString(QChar(sample.glyph)));
    return image;
}

QByteArray be32(quint32 value)
{
    const char bytes[4] = {char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
    return QByteArray(bytes, 4);
}

QByteArray icns(const Sample &sample, const QString &fontFamily)
{
    QByteArray body;
    for (size_t i = 0; i < std::size(kIconSides); ++i) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        drawIcon(sample, kIconSides[i], fontFamily).save(&buffer, "PNG");
        body += QByteArray(kIconTypes[i], 4) + be32(quint32(png.size() + 8)) + png;
    }
    return QByteArray("icns", 4) + be32(quint32(body.size() + 8)) + body;
}

QByteArray infoPlist(const Sample &sample)
{
    plist_t dict = plist_new_dict();
    const auto set = [dict](const char *key, const char *value) {
        if (value)
            plist_dict_set_item(dict, key, plist_new_string(value));
    };
    set("CFBundleDevelopmentRegion", "zh_CN");
    set("CFBundleDisplayName", sample.displayName);
    set("CFBundleName", sample.bundleName);
    set("CFBundleExecutable", sample.bundle);
    set("CFBundleIdentifier", sample.identifier);
    set("CFBundlePackageType", "APPL");
    set("CFBundleShortVersionString", sample.shortVersion);
    if (sample.numericShortVersion > 0)
        plist_dict_set_item(dict, "CFBundleShortVersionString", plist_new_real(sample.numericShortVersion));
    set("CFBundleVersion", sample.bundleVersion);
    set(sample.iconKey, sample.iconName);
    set("LSMinimumSystemVersion", "12.0");
    plist_dict_set_item(dict, "LSApplicationCategoryType", plist_new_string("public.app-category.productivity"));

    char *data = nullptr;
    uint32_t length = 0;
    if (sample.format == Format::xml)
        plist_to_xml(dict, &data, &length);
    else
        plist_to_bin(dict, &data, &length);
    plist_free(dict);
    QByteArray result(data, length);
    std::free(data);
    return result;
}

bool writeFile(const QString &path, const QByteArray &data, bool executable = false)
{
    QDir().mkpath(path.section(u'/', 0, -2));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size())
        return false;
    if (executable)
        file.setPermissions(file.permissions() | QFileDevice::ExeOwner | QFileDevice::ExeGroup | QFileDevice::ExeOther);
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: vexlo_make_sample_apps OUTPUT_DIR\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir(out).removeRecursively();

    QString family = u"Material Icons"_s;
    const int fontId = QFontDatabase::addApplicationFont(
        u"/usr/share/fonts/truetype/material-design-icons-iconfont/MaterialIcons-Regular.ttf"_s);
    if (fontId >= 0 && !QFontDatabase::applicationFontFamilies(fontId).isEmpty())
        family = QFontDatabase::applicationFontFamilies(fontId).constFirst();

    QRandomGenerator random(14);
    for (const Sample &sample : kSamples) {
        const QString contents = out + u'/' + QString::fromUtf8(sample.bundle) + u".app/Contents"_s;
        bool ok = writeFile(contents + u"/Info.plist"_s, infoPlist(sample));
        ok = ok && writeFile(contents + u"/PkgInfo"_s, "APPL????");
        ok = ok &&
            writeFile(contents + u"/MacOS/"_s + QString::fromUtf8(sample.bundle),
                      "#!/bin/sh\necho \"" + QByteArray(sample.bundle) + " is a sample application.\"\n", true);
        QByteArray assets(sample.assetKilobytes * 1000, Qt::Uninitialized);
        random.fillRange(reinterpret_cast<quint32 *>(assets.data()), assets.size() / 4);
        ok = ok && writeFile(contents + u"/Resources/Assets.car"_s, assets);
        if (sample.glyph) {
            QString icon = QString::fromUtf8(sample.iconName);
            if (!icon.endsWith(u".icns"_s))
                icon += u".icns"_s;
            ok = ok && writeFile(contents + u"/Resources/"_s + icon, icns(sample, family));
        }
        if (!ok) {
            std::fprintf(stderr, "cannot write the sample %s\n", sample.bundle);
            return 1;
        }
    }
    for (const LibraryItem &item : kLibrary) {
        const QString path = out + u"/Library/"_s + QString::fromUtf8(item.path);
        bool ok = true;
        if (item.linkTo) {
            QDir().mkpath(path.section(u'/', 0, -2));
            ok = QFile::link(QString::fromUtf8(item.linkTo), path);
        } else {
            QByteArray data(item.bytes, Qt::Uninitialized);
            random.fillRange(reinterpret_cast<quint32 *>(data.data()), data.size() / 4);
            ok = writeFile(path.endsWith(u'/') ? path + u"data"_s : path, data);
        }
        if (!ok) {
            std::fprintf(stderr, "cannot write the sample Library item %s\n", item.path);
            return 1;
        }
    }
    return 0;
}
