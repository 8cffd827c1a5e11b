#pragma once
// The quick search panel's state: the query as typed, the hits of the last search to finish, the rows the
// result area shows (the newest apps, nothing, or the hits) and the member's status in the header.
#include "service/CatalogRecords.h"
#include "store/NewestReply.h"

#include <QAbstractListModel>
#include <QQmlEngine>

#include <QCoro/QCoroTask>

// The rows of the result area: app records with the fields a result row shows.
class AppRowsModel : public QAbstractListModel
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The panel's rows come from QuickSearch.")

public:
    enum Role { SlugRole = Qt::UserRole + 1, NameRole, TaglineRole, GlyphRole, AccentRole, Accent2Role };

    using QAbstractListModel::QAbstractListModel;
    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

    [[nodiscard]] const QList<StoreApp> &apps() const { return m_apps; }
    // Replaces every row (no-op when equal).
    void setApps(QList<StoreApp> apps);

private:
    QList<StoreApp> m_apps;
};

class QuickSearch : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QString query READ query WRITE setQuery NOTIFY queryChanged)
    Q_PROPERTY(bool searching READ searching NOTIFY searchingChanged)
    // What the result area shows: "latest" (empty query), "notFound" (a query and no hits) or "hits".
    Q_PROPERTY(QString area READ area NOTIFY areaChanged)
    Q_PROPERTY(AppRowsModel *rows READ rows CONSTANT)
    Q_PROPERTY(bool memberShown READ memberShown NOTIFY memberChanged)
    // "终身", "N 天" or "未赞助"; the dot is green only while sponsoring.
    Q_PROPERTY(QString memberStatus READ memberStatus NOTIFY memberChanged)
    Q_PROPERTY(bool sponsorActive READ sponsorActive NOTIFY memberChanged)

public:
    static constexpr int latestCount = 5;

    explicit QuickSearch(QObject *parent = nullptr);

    [[nodiscard]] static QString memberStatusText(const StoreMember &member);

    [[nodiscard]] QString query() const { return m_query; }
    void setQuery(const QString &text);
    [[nodiscard]] bool searching() const { return m_searching; }
    [[nodiscard]] QString area() const;
    [[nodiscard]] AppRowsModel *rows() { return &m_rows; }
    [[nodiscard]] const QList<StoreApp> &hits() const { return m_hits; }
    [[nodiscard]] bool memberShown() const;
    [[nodiscard]] QString memberStatus() const;
    [[nodiscard]] bool sponsorActive() const;

    // Return in the search field: searches the trimmed query; a blank one only clears the hits.
    Q_INVOKABLE void submit();
    QCoro::Task<> searchTask();
    // Takes the main window to `section` (when not empty) and to the detail of `slug` (when not empty),
    // closing any open detail first, and brings it forward.
    Q_INVOKABLE void openStore(const QString &section = {}, const QString &slug = {});
    // The panel became visible: load the home payload when nothing has loaded it yet.
    Q_INVOKABLE void shown();

Q_SIGNALS:
    void queryChanged();
    void searchingChanged();
    void areaChanged();
    void memberChanged();
    // The main window should come forward (the app raises it and activates the application).
    void storeWindowRequested();

private:
    void setSearching(bool searching);
    void setHits(QList<StoreApp> hits);
    void updateRows();

    QString m_query;
    QList<StoreApp> m_hits;
    bool m_searching = false;
    QString m_area = QStringLiteral("latest");
    AppRowsModel m_rows;
    NewestReply m_searches;
};
