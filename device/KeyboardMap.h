#pragma once
// The keyboard check: a map of the Mac keyboard whose keys light up as they are pressed. Keys are matched by
// their physical position (the platform's key code), never by the character typed, so any layout or input
// method works. While active it watches every key event of the application and swallows it, so no shortcut
// fires while the user walks the keyboard.

#include <QAbstractListModel>
#include <QtQml/qqmlregistration.h>

class KeyboardMap : public QAbstractListModel
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(bool active READ active WRITE setActive NOTIFY activeChanged)
    Q_PROPERTY(int seenCount READ seenCount NOTIFY seenCountChanged)
    Q_PROPERTY(int count READ rowCount CONSTANT)
    Q_PROPERTY(int rows READ rows CONSTANT)

public:
    enum Role { LabelRole = Qt::UserRole + 1, RowRole, OffsetRole, WidthRole, LitRole };

    struct Key
    {
        QString label;
        int row = 0;
        double offset = 0; // from the row's start, in key units
        double width = 1; // in key units
        int macCode = -1; // the virtual key code of macOS
        int linuxCode = -1; // the evdev code (X11 and Wayland report it + 8)
    };

    explicit KeyboardMap(QObject *parent = nullptr);
    ~KeyboardMap() override;

    [[nodiscard]] static const QList<Key> &keys();
    // The map index of a key event's physical key on this platform, or -1.
    [[nodiscard]] static int indexFor(quint32 nativeScanCode, quint32 nativeVirtualKey);

    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

    [[nodiscard]] bool active() const { return m_active; }
    void setActive(bool active);
    [[nodiscard]] int seenCount() const { return int(m_seen.count(true)); }
    [[nodiscard]] int rows() const;

    // Lights the key at `index` (for pressing on the map with the pointer, and for tests).
    Q_INVOKABLE void light(int index);
    Q_INVOKABLE void reset();

Q_SIGNALS:
    void activeChanged();
    void seenCountChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool m_active = false;
    QList<bool> m_seen;
};
