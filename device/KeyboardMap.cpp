#include "device/KeyboardMap.h"

#include <QCoreApplication>
#include <QKeyEvent>

using namespace Qt::StringLiterals;

namespace {

// F-keys and letters share code tables with the rows below; each entry: label, width, macOS code, evdev code.
struct Spec
{
    const char16_t *label;
    double width;
    int mac;
    int evdev;
};

constexpr Spec kRows[][14] = {
    {{u"esc", 1.5, 0x35, 1},
     {u"F1", 1, 0x7A, 59},
     {u"F2", 1, 0x78, 60},
     {u"F3", 1, 0x63, 61},
     {u"F4", 1, 0x76, 62},
     {u"F5", 1, 0x60, 63},
     {u"F6", 1, 0x61, 64},
     {u"F7", 1, 0x62, 65},
     {u"F8", 1, 0x64, 66},
     {u"F9", 1, 0x65, 67},
     {u"F10", 1, 0x6D, 68},
     {u"F11", 1, 0x67, 87},
     {u"F12", 1, 0x6F, 88}},
    {{u"`", 1, 0x32, 41},
     {u"1", 1, 0x12, 2},
     {u"2", 1, 0x13, 3},
     {u"3", 1, 0x14, 4},
     {u"4", 1, 0x15, 5},
     {u"5", 1, 0x17, 6},
     {u"6", 1, 0x16, 7},
     {u"7", 1, 0x1A, 8},
     {u"8", 1, 0x1C, 9},
     {u"9", 1, 0x19, 10},
     {u"0", 1, 0x1D, 11},
     {u"-", 1, 0x1B, 12},
     {u"=", 1, 0x18, 13},
     {u"delete", 1.5, 0x33, 14}},
    {{u"tab", 1.5, 0x30, 15},
     {u"Q", 1, 0x0C, 16},
     {u"W", 1, 0x0D, 17},
     {u"E", 1, 0x0E, 18},
     {u"R", 1, 0x0F, 19},
     {u"T", 1, 0x11, 20},
     {u"Y", 1, 0x10, 21},
     {u"U", 1, 0x20, 22},
     {u"I", 1, 0x22, 23},
     {u"O", 1, 0x1F, 24},
     {u"P", 1, 0x23, 25},
     {u"[", 1, 0x21, 26},
     {u"]", 1, 0x1E, 27},
     {u"\\", 1, 0x2A, 43}},
    {{u"caps lock", 1.75, 0x39, 58},
     {u"A", 1, 0x00, 30},
     {u"S", 1, 0x01, 31},
     {u"D", 1, 0x02, 32},
     {u"F", 1, 0x03, 33},
     {u"G", 1, 0x05, 34},
     {u"H", 1, 0x04, 35},
     {u"J", 1, 0x26, 36},
     {u"K", 1, 0x28, 37},
     {u"L", 1, 0x25, 38},
     {u";", 1, 0x29, 39},
     {u"'", 1, 0x27, 40},
     {u"return", 1.75, 0x24, 28}},
    {{u"shift", 2.25, 0x38, 42},
     {u"Z", 1, 0x06, 44},
     {u"X", 1, 0x07, 45},
     {u"C", 1, 0x08, 46},
     {u"V", 1, 0x09, 47},
     {u"B", 1, 0x0B, 48},
     {u"N", 1, 0x2D, 49},
     {u"M", 1, 0x2E, 50},
     {u",", 1, 0x2B, 51},
     {u".", 1, 0x2F, 52},
     {u"/", 1, 0x2C, 53},
     {u"shift", 2.25, 0x3C, 54}},
    {{u"fn", 1, 0x3F, 464},
     {u"control", 1, 0x3B, 29},
     {u"option", 1, 0x3A, 56},
     {u"command", 1.25, 0x37, 125},
     {u"", 4, 0x31, 57},
     {u"command", 1.25, 0x36, 126},
     {u"option", 1, 0x3D, 100},
     {u"←", 1, 0x7B, 105},
     {u"↑", 1, 0x7E, 103},
     {u"↓", 1, 0x7D, 108},
     {u"→", 1, 0x7C, 106}},
};

} // namespace

KeyboardMap::KeyboardMap(QObject *parent)
    : QAbstractListModel(parent)
    , m_seen(keys().size(), false)
{ }

KeyboardMap::~KeyboardMap()
{
    setActive(false);
}

const QList<KeyboardMap::Key> &KeyboardMap::keys()
{
    static const QList<Key> list = [] {
        QList<Key> out;
        for (int row = 0; row < int(std::size(kRows)); ++row) {
            double offset = 0;
            for (const Spec &spec : kRows[row]) {
                if (spec.label == nullptr)
                    break;
                out.append({QString::fromUtf16(spec.label), row, offset, spec.width, spec.mac, spec.evdev});
                offset += spec.width;
            }
        }
        return out;
    }();
    return list;
}

int KeyboardMap::indexFor(quint32 nativeScanCode, quint32 nativeVirtualKey)
{
#ifdef Q_OS_MACOS
    Q_UNUSED(nativeScanCode);
    const int code = int(nativeVirtualKey);
    const auto matches = [code](const Key &key) { return key.macCode == code; };
#else
    Q_UNUSED(nativeVirtualKey);
    if (nativeScanCode < 8)
        return -1;
    const int code = int(nativeScanCode) - 8;
    const auto matches = [code](const Key &key) { return key.linuxCode == code; };
#endif
    const QList<Key> &all = keys();
    for (int i = 0; i < all.size(); ++i) {
        if (matches(all[i]))
            return i;
    }
    return -1;
}

int KeyboardMap::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(keys().size());
}

int KeyboardMap::rows() const
{
    return int(std::size(kRows));
}

QVariant KeyboardMap::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Key &key = keys().at(index.row());
    switch (role) {
    case LabelRole:
        return key.label;
    case RowRole:
        return key.row;
    case OffsetRole:
        return key.offset;
    case WidthRole:
        return key.width;
    case LitRole:
        return m_seen.at(index.row());
    }
    return {};
}

QHash<int, QByteArray> KeyboardMap::roleNames() const
{
    return {{LabelRole, "label"}, {RowRole, "row"}, {OffsetRole, "offset"}, {WidthRole, "keyWidth"}, {LitRole, "lit"}};
}

void KeyboardMap::setActive(bool active)
{
    if (m_active == active)
        return;
    m_active = active;
    if (QCoreApplication *app = QCoreApplication::instance()) {
        if (active)
            app->installEventFilter(this);
        else
            app->removeEventFilter(this);
    }
    Q_EMIT activeChanged();
}

void KeyboardMap::light(int index)
{
    if (index < 0 || index >= m_seen.size() || m_seen.at(index))
        return;
    m_seen[index] = true;
    const QModelIndex changed = this->index(index);
    Q_EMIT dataChanged(changed, changed, {LitRole});
    Q_EMIT seenCountChanged();
}

void KeyboardMap::reset()
{
    if (!m_seen.contains(true))
        return;
    m_seen.fill(false);
    Q_EMIT dataChanged(index(0), index(int(m_seen.size()) - 1), {LitRole});
    Q_EMIT seenCountChanged();
}

bool KeyboardMap::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // Claiming the key keeps window shortcuts from firing during the check.
        event->accept();
        return true;
    case QEvent::KeyPress: {
        // The same event reaches the filter once per receiver on its way (window, then item); light once.
        auto *key = static_cast<QKeyEvent *>(event);
        if (!key->isAutoRepeat())
            light(indexFor(key->nativeScanCode(), key->nativeVirtualKey()));
        return true;
    }
    case QEvent::KeyRelease:
        return true;
    default:
        return QAbstractListModel::eventFilter(watched, event);
    }
}
