#include "screens/components/Symbols.h"
#include "screens/components/Logging.h"

#include <QFontDatabase>
#include <QHash>
#include <QResource>

namespace {

struct Entry
{
    const char *name;
    char16_t codePoint; // Material Icons; the ligature name is given in the comment
};

// Names used by the pages and windows, then the glyph names that catalogue records carry.
constexpr Entry table[] = {
    {"app.dashed", 0xe162}, // select_all
    {"app", 0xe3c6}, // crop_square
    {"desktopcomputer", 0xe30c}, // desktop_windows
    {"laptopcomputer", 0xe320}, // laptop_mac
    {"macwindow", 0xe069}, // web_asset
    {"chart.bar.fill", 0xe26b}, // bar_chart
    {"clock.fill", 0xe8b5}, // schedule
    {"arrow.down.circle.fill", 0xf000}, // download_for_offline
    {"arrow.down.circle", 0xf181}, // arrow_circle_down
    {"arrow.down", 0xe5db}, // arrow_downward
    {"arrow.up.right", 0xf1e1}, // north_east
    {"arrow.clockwise", 0xe5d5}, // refresh
    {"arrow.triangle.2.circlepath", 0xe627}, // sync
    {"photo.on.rectangle", 0xe1bc}, // wallpaper
    {"photo", 0xe410}, // photo
    {"image", 0xe3f4}, // image
    {"creditcard.fill", 0xe870}, // credit_card
    {"checkmark.seal.fill", 0xef76}, // verified
    {"checkmark.shield", 0xe8e8}, // verified_user
    {"checkmark.circle.fill", 0xe86c}, // check_circle
    {"checkmark", 0xe5ca}, // check
    {"person.crop.circle", 0xe853}, // account_circle
    {"person.crop.circle.badge.questionmark", 0xe94c}, // contact_support
    {"person.crop.circle.badge.exclamationmark", 0xf03e}, // no_accounts
    {"wifi.exclamationmark", 0xe648}, // wifi_off
    {"wifi", 0xe63e}, // wifi
    {"shield", 0xe9e0}, // shield
    {"bolt", 0xea0b}, // bolt
    {"bolt.fill", 0xea0b}, // bolt
    {"cpu", 0xe322}, // memory
    {"star.fill", 0xe838}, // star
    {"star.leadinghalf.filled", 0xe839}, // star_half
    {"star", 0xe83a}, // star_border
    {"magnifyingglass", 0xe8b6}, // search
    {"doc.text", 0xe873}, // description
    {"chevron.left", 0xe5cb}, // chevron_left
    {"chevron.right", 0xe5cc}, // chevron_right
    {"safari", 0xe87a}, // explore
    {"xmark", 0xe5cd}, // close
    {"lock.fill", 0xe897}, // lock
    {"square.stack.3d.down.right", 0xe53b}, // layers
    {"folder", 0xe2c7}, // folder
    {"trash", 0xe872}, // delete
    {"exclamationmark.triangle.fill", 0xe002}, // warning
    {"internaldrive.fill", 0xe1db}, // storage
    {"externaldrive.fill", 0xe1c2}, // sd_storage
    {"rectangle.on.rectangle", 0xe3e0}, // filter_none
    {"square.and.arrow.up", 0xe6b8}, // ios_share
    {"network", 0xeb2f}, // lan
    {"square.grid.2x2.fill", 0xe5c3}, // apps
    // Glyph names of catalogue records (categories and apps).
    {"text.alignleft", 0xe236}, // format_align_left
    {"terminal", 0xeb8e}, // terminal
    {"film", 0xe02c}, // movie
    {"waveform", 0xe1b8}, // graphic_eq
    {"keyboard", 0xe312}, // keyboard
    {"key.horizontal", 0xe0da}, // vpn_key
    {"lock.shield", 0xe32a}, // security
    {"brain.head.profile", 0xea4a}, // psychology
    {"calendar", 0xe935}, // calendar_today
    {"doc.on.clipboard", 0xe14f}, // content_paste
    {"photo.stack", 0xe413}, // photo_library
    {"internaldrive", 0xe1db}, // storage
    {"square.on.circle", 0xe574}, // category
    {"rectangle.split.3x1", 0xe8f3}, // view_week
    {"sparkles", 0xe65f}, // auto_awesome
    {"leaf", 0xea35}, // eco
    {"curlybraces", 0xead3}, // data_object
    {"shippingbox", 0xe1a1}, // inventory_2
    {"archivebox", 0xe149}, // archive
    {"folder.badge.gearshape", 0xe617}, // folder_special
    {"eye.slash", 0xe8f5}, // visibility_off
    {"clock.arrow.circlepath", 0xe889}, // history
    {"menubar.rectangle", 0xe069}, // web_asset
    {"square.grid.3x3", 0xe3ec}, // grid_on
    {"square.grid.2x2", 0xe9b0}, // grid_view
    {"doc.richtext", 0xef42}, // article
    {"mic.fill", 0xe029}, // mic
    {"video.badge.waveform", 0xe04b}, // videocam
    {"wrench.and.screwdriver", 0xf10b}, // handyman
    {"paintpalette", 0xe40a}, // palette
    {"checklist", 0xe6b1}, // checklist
    {"chevron.left.forwardslash.chevron.right", 0xe86f}, // code
};

const QHash<QString, char16_t> &lookup()
{
    static const QHash<QString, char16_t> map = [] {
        QHash<QString, char16_t> m;
        for (const Entry &e : table)
            m.insert(QString::fromLatin1(e.name), e.codePoint);
        return m;
    }();
    return map;
}

} // namespace

QString Symbols::family()
{
    return QStringLiteral("Material Icons");
}

QString Symbols::fontFile()
{
    return QStringLiteral(":/fonts/MaterialIcons-Regular.ttf");
}

bool Symbols::loadFont()
{
    // The system's fonts are listed first: of two fonts with one name, the one registered last is drawn, and an
    // installed copy in another format (Debian's WOFF2) would otherwise be drawn instead of this one.
    QFontDatabase::families();
    const QResource font(fontFile());
    const auto data = QByteArray::fromRawData(reinterpret_cast<const char *>(font.data()), font.size());
    if (font.compressionAlgorithm() == QResource::NoCompression && QFontDatabase::addApplicationFontFromData(data) >= 0)
        return true;
    qCWarning(lcScreens) << "the symbol font" << fontFile() << "could not be loaded; symbols will be missing";
    return false;
}

char16_t Symbols::codePoint(const QString &name)
{
    const auto &map = lookup();
    const auto it = map.constFind(name);
    return it != map.cend() ? *it : map.value(QString::fromLatin1(fallbackName));
}

bool Symbols::contains(const QString &name)
{
    return lookup().contains(name);
}

QStringList Symbols::names()
{
    QStringList out;
    for (const Entry &e : table)
        out << QString::fromLatin1(e.name);
    return out;
}
