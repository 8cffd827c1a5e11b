#pragma once
// Item models behind the page lists. Each holds records of one type and offers, besides the whole record
// ("record") and its place counted from 1 ("rank"), every property of the record as a role of the same name,
// so delegates declare `required property` for what they show. Derived order and selection live here, not in QML.
#include "service/CatalogRecords.h"
#include "service/CommerceRecords.h"

#include <QAbstractListModel>
#include <QMetaProperty>
#include <QVariant>
#include <QtQmlIntegration>

class RecordListModel : public QAbstractListModel
{
    Q_OBJECT
    QML_ANONYMOUS
    // The records: a list (or, for keyed records, a map) of the model's record type; other items are skipped.
    Q_PROPERTY(QVariant records READ records WRITE setRecords NOTIFY recordsChanged)
    // Shows the records from this position on, at most `limit` of them (all when negative).
    Q_PROPERTY(int from READ from WRITE setFrom NOTIFY rangeChanged)
    Q_PROPERTY(int limit READ limit WRITE setLimit NOTIFY rangeChanged)
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    enum Role { RecordRole = Qt::UserRole + 1, RankRole, FirstFieldRole };

    [[nodiscard]] QVariant records() const { return m_records; }
    void setRecords(const QVariant &records);
    [[nodiscard]] int from() const { return m_from; }
    void setFrom(int from);
    [[nodiscard]] int limit() const { return m_limit; }
    void setLimit(int limit);
    [[nodiscard]] int count() const { return int(m_rows.size()); }
    // The record in a row, or an invalid QVariant outside the rows.
    Q_INVOKABLE QVariant get(int row) const { return m_rows.value(row); }

    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

Q_SIGNALS:
    void recordsChanged();
    void rangeChanged();
    void countChanged();

protected:
    RecordListModel(QMetaType type, QObject *parent);
    // Puts the records of the type in display order; the default keeps the order given.
    virtual void arrange(QVariantList &records) const { Q_UNUSED(records); }

private:
    enum class Growth { anywhere, atEnd };
    void rebuild(Growth grown = Growth::anywhere);

    QMetaType m_type;
    QList<QMetaProperty> m_fields;
    QVariant m_records;
    int m_from = 0;
    int m_limit = -1;
    QVariantList m_rows;
};

// StoreApp records: the chart, the latest additions, a category's apps, search hits, the discover rows.
class AppListModel : public RecordListModel
{
    Q_OBJECT
    QML_ELEMENT

public:
    explicit AppListModel(QObject *parent = nullptr)
        : RecordListModel(QMetaType::fromType<StoreApp>(), parent)
    { }
};

// StoreCategory records, and the one whose slug is selected (undefined when none is or the slug is unknown).
class CategoryListModel : public RecordListModel
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QString selectedSlug READ selectedSlug WRITE setSelectedSlug NOTIFY selectedChanged)
    Q_PROPERTY(QVariant selected READ selected NOTIFY selectedChanged)

public:
    explicit CategoryListModel(QObject *parent = nullptr);

    [[nodiscard]] QString selectedSlug() const { return m_selectedSlug; }
    void setSelectedSlug(const QString &slug);
    [[nodiscard]] QVariant selected() const;

Q_SIGNALS:
    void selectedChanged();

private:
    QString m_selectedSlug;
};

// The search hits that are not apps (wallpapers, articles).
class SearchOtherModel : public RecordListModel
{
    Q_OBJECT
    QML_ELEMENT

public:
    explicit SearchOtherModel(QObject *parent = nullptr)
        : RecordListModel(QMetaType::fromType<SearchOther>(), parent)
    { }
};

// The download records (Store.installed, keyed by slug), newest first; equal times by slug.
class DownloadedAppsModel : public RecordListModel
{
    Q_OBJECT
    QML_ELEMENT

public:
    explicit DownloadedAppsModel(QObject *parent = nullptr)
        : RecordListModel(QMetaType::fromType<InstalledApp>(), parent)
    { }

protected:
    void arrange(QVariantList &records) const override;
};

// The member's orders (Store.orders), newest first by creation time; equal times by order number.
class OrderListModel : public RecordListModel
{
    Q_OBJECT
    QML_ELEMENT

public:
    explicit OrderListModel(QObject *parent = nullptr)
        : RecordListModel(QMetaType::fromType<OrderSummary>(), parent)
    { }

protected:
    void arrange(QVariantList &records) const override;
};

// Wallpaper records.
class WallpaperListModel : public RecordListModel
{
    Q_OBJECT
    QML_ELEMENT

public:
    explicit WallpaperListModel(QObject *parent = nullptr)
        : RecordListModel(QMetaType::fromType<StoreWallpaper>(), parent)
    { }
};

// Sponsorship plans (the home payload's plans).
class PlanListModel : public RecordListModel
{
    Q_OBJECT
    QML_ELEMENT

public:
    explicit PlanListModel(QObject *parent = nullptr)
        : RecordListModel(QMetaType::fromType<StorePlan>(), parent)
    { }
};

// An app's cloud-drive links (Store.netdiskLinks).
class NetdiskLinkModel : public RecordListModel
{
    Q_OBJECT
    QML_ELEMENT

public:
    explicit NetdiskLinkModel(QObject *parent = nullptr)
        : RecordListModel(QMetaType::fromType<NetdiskLink>(), parent)
    { }
};
