#pragma once
// The wallpaper gallery's own list: the wallpapers of one collection, loaded from the store service whenever
// the collection changes. A newer load supersedes an older one, whose reply is then dropped; a failed load
// keeps the list as it was and says why in `failure` until a load succeeds. Each row also says whether its picture is already saved in
// the Pictures folder, which is what "设为桌面" needs.
#include "service/CatalogRecords.h"
#include "store/NewestReply.h"

#include <QAbstractListModel>
#include <QQmlEngine>
#include <QQmlParserStatus>
#include <QSet>

#include <QCoro/QCoroTask>

class WallpaperGalleryModel : public QAbstractListModel, public QQmlParserStatus
{
    Q_OBJECT
    QML_ELEMENT
    Q_INTERFACES(QQmlParserStatus)
    // The collection shown: "all" lists every wallpaper, another key those of that collection.
    Q_PROPERTY(QString collection READ collection WRITE setCollection NOTIFY collectionChanged)
    Q_PROPERTY(bool loading READ loading NOTIFY loadingChanged)
    // Why the last load failed; empty after a load that succeeded.
    Q_PROPERTY(QString failure READ failure NOTIFY failureChanged)
    // The 5K files are open to the member: signed in with an active sponsorship.
    Q_PROPERTY(bool unlocked READ unlocked NOTIFY unlockedChanged)
    // How far the wallpaper being saved has come: 0..1 when the service sent a length, otherwise negative.
    Q_PROPERTY(double progress READ progress NOTIFY progressChanged)
    // "1.2 MB / 4.8 MB" when the length is known, "1.2 MB" before that; empty when nothing is being saved.
    Q_PROPERTY(QString progressText READ progressText NOTIFY progressChanged)

public:
    enum Role {
        WallpaperRole = Qt::UserRole + 1,
        SlugRole,
        TitleRole,
        CaptionRole,
        C1Role,
        C2Role,
        ThumbRole,
        SavedRole,
    };
    Q_ENUM(Role)

    explicit WallpaperGalleryModel(QObject *parent = nullptr);

    // The saved file of a wallpaper: "Vexlo-<slug>.jpg" in the Pictures folder.
    [[nodiscard]] static QString savedPath(const QString &slug);
    // received of total bytes as the card shows it; total < 0 when unknown.
    [[nodiscard]] static QString formatProgress(qint64 received, qint64 total);

    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

    [[nodiscard]] QString collection() const { return m_collection; }
    void setCollection(const QString &key);
    [[nodiscard]] bool loading() const { return m_loading; }
    [[nodiscard]] QString failure() const { return m_failure; }
    [[nodiscard]] const QList<StoreWallpaper> &wallpapers() const { return m_items; }
    [[nodiscard]] bool unlocked() const;
    [[nodiscard]] double progress() const;
    [[nodiscard]] QString progressText() const;

    Q_INVOKABLE void reload();
    QCoro::Task<> loadTask();
    // Saves wallpaper `row` through the store's download action (full: the 5K file).
    Q_INVOKABLE void download(int row, bool full);
    // Makes the saved picture of `slug` the desktop background and reports the outcome as a toast.
    Q_INVOKABLE void setAsDesktop(const QString &slug);
    QCoro::Task<> setAsDesktopTask(QString slug);
    // Looks again which pictures are saved (after a download ends).
    Q_INVOKABLE void refreshSaved();

    void classBegin() override { m_complete = false; }
    void componentComplete() override;

Q_SIGNALS:
    void collectionChanged();
    void loadingChanged();
    void failureChanged();
    void unlockedChanged();
    void progressChanged();

private:
    void setItems(QList<StoreWallpaper> items);
    void setLoading(bool loading);
    void setFailure(const QString &reason);

    QString m_collection = QStringLiteral("all");
    QList<StoreWallpaper> m_items;
    QSet<QString> m_saved;
    bool m_loading = false;
    QString m_failure;
    bool m_complete = true;
    NewestReply m_loads;
};
