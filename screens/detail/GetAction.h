#pragma once
// What the detail page's get button offers for one app, from the detail flags and the store's download
// state. The rules are checked in order (fetching, sponsors-only, fetch again, get); the first that holds
// decides.
#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>
#include <optional>

class Store;

class GetAction : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QString slug READ slug WRITE setSlug NOTIFY inputsChanged)
    Q_PROPERTY(bool isFree READ isFree WRITE setIsFree NOTIFY inputsChanged)
    Q_PROPERTY(bool unlocked READ unlocked WRITE setUnlocked NOTIFY inputsChanged)
    Q_PROPERTY(bool needsSponsor READ needsSponsor WRITE setNeedsSponsor NOTIFY inputsChanged)
    Q_PROPERTY(Kind kind READ kind NOTIFY changed)
    Q_PROPERTY(QString title READ title NOTIFY changed)
    Q_PROPERTY(QString caption READ caption NOTIFY changed)

public:
    enum class Kind {
        Fetching, // a download of the app is running: disabled
        SponsorOnly, // "赞助后获取": opens the membership page
        Again, // a download record exists: "重新下载", the caption reveals the file
        Get, // "获取" / "下载"
    };
    Q_ENUM(Kind)

    struct State
    {
        Kind kind;
        QString title;
        QString caption;
        friend bool operator==(const State &, const State &) = default;
    };
    // recordedVersion: the version of the app's download record, absent when there is none.
    [[nodiscard]] static State decide(bool needsSponsor, bool unlocked, bool fetching,
                                      const std::optional<QString> &recordedVersion, bool isFree);

    explicit GetAction(QObject *parent = nullptr);

    [[nodiscard]] QString slug() const { return m_slug; }
    void setSlug(const QString &slug);
    [[nodiscard]] bool isFree() const { return m_isFree; }
    void setIsFree(bool value);
    [[nodiscard]] bool unlocked() const { return m_unlocked; }
    void setUnlocked(bool value);
    [[nodiscard]] bool needsSponsor() const { return m_needsSponsor; }
    void setNeedsSponsor(bool value);

    [[nodiscard]] Kind kind() const { return m_state.kind; }
    [[nodiscard]] QString title() const { return m_state.title; }
    [[nodiscard]] QString caption() const { return m_state.caption; }

Q_SIGNALS:
    void inputsChanged();
    void changed();

private:
    void update();

    QString m_slug;
    bool m_isFree = false;
    bool m_unlocked = false;
    bool m_needsSponsor = false;
    State m_state;
};
