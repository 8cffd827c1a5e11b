#pragma once
// The lists of the app detail page as item models: the description's lines, the version history and the
// reviews. Each is filled from the detail record and replaced whole when the record changes.
#include "service/CatalogRecords.h"

#include <QAbstractListModel>
#include <QVariant>
#include <QtQml/qqmlregistration.h>

// The description, one row per line: a line that starts with exactly "## " is a subheading (shown without
// those three characters); every other line, "##x" included, is body text.
class DescriptionModel : public QAbstractListModel
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QString text READ text WRITE setText NOTIFY textChanged)

public:
    enum Role { LineRole = Qt::UserRole + 1, HeadingRole };
    struct Line
    {
        QString text;
        bool heading = false;
        friend bool operator==(const Line &, const Line &) = default;
    };

    using QAbstractListModel::QAbstractListModel;

    [[nodiscard]] static QList<Line> split(const QString &description);

    [[nodiscard]] QString text() const { return m_text; }
    void setText(const QString &text);

    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

Q_SIGNALS:
    void textChanged();

private:
    QString m_text;
    QList<Line> m_lines;
};

// The version history: the first five versions, newest first as the service sends them. `present` is false
// when the record has no version list (the page then leaves the section out); `total` counts all versions.
class VersionModel : public QAbstractListModel
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QVariant versions READ versions WRITE setVersions NOTIFY versionsChanged)
    Q_PROPERTY(bool present READ present NOTIFY versionsChanged)
    Q_PROPERTY(int total READ total NOTIFY versionsChanged)
    Q_PROPERTY(QString caption READ caption NOTIFY versionsChanged)

public:
    enum Role { VersionRole = Qt::UserRole + 1, SizeRole, ReleasedRole, NotesRole, CurrentRole };
    static constexpr int shownRows = 5;

    using QAbstractListModel::QAbstractListModel;

    [[nodiscard]] QVariant versions() const { return m_source; }
    // Undefined (no list) or a list of appVersion values.
    void setVersions(const QVariant &versions);
    [[nodiscard]] bool present() const { return m_present; }
    [[nodiscard]] int total() const { return m_total; }
    [[nodiscard]] QString caption() const;

    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

Q_SIGNALS:
    void versionsChanged();

private:
    QVariant m_source;
    QList<AppVersion> m_rows;
    bool m_present = false;
    int m_total = 0;
};

// The first four reviews, with the reviewer's initial for the avatar and the date as shown.
class ReviewModel : public QAbstractListModel
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QVariantList reviews READ reviews WRITE setReviews NOTIFY reviewsChanged)

public:
    enum Role { NicknameRole = Qt::UserRole + 1, InitialRole, RatingRole, DateRole, ContentRole };
    static constexpr int shownRows = 4;

    using QAbstractListModel::QAbstractListModel;

    [[nodiscard]] QVariantList reviews() const { return m_source; }
    void setReviews(const QVariantList &reviews);

    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

Q_SIGNALS:
    void reviewsChanged();

private:
    QVariantList m_source;
    QList<StoreReview> m_rows;
};
