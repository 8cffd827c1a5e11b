#include "screens/detail/DetailModels.h"

#include "screens/components/Format.h"

using namespace Qt::StringLiterals;

namespace {

template <typename T> QList<T> recordsOf(const QVariantList &values, qsizetype limit)
{
    QList<T> out;
    for (const QVariant &value : values) {
        if (out.size() == limit)
            break;
        if (value.canConvert<T>())
            out.append(value.value<T>());
    }
    return out;
}

// The first user-perceived character: a surrogate pair stays whole.
QString firstCharacter(const QString &text)
{
    if (text.isEmpty())
        return {};
    return text.left(text.at(0).isHighSurrogate() && text.size() > 1 ? 2 : 1);
}

} // namespace

// --- DescriptionModel ---

QList<DescriptionModel::Line> DescriptionModel::split(const QString &description)
{
    QList<Line> lines;
    for (const QString &line : description.split(u'\n')) {
        if (line.startsWith(u"## "_s))
            lines.append({line.mid(3), true});
        else
            lines.append({line, false});
    }
    return lines;
}

void DescriptionModel::setText(const QString &text)
{
    if (text == m_text)
        return;
    beginResetModel();
    m_text = text;
    m_lines = text.isEmpty() ? QList<Line>{} : split(text);
    endResetModel();
    Q_EMIT textChanged();
}

int DescriptionModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_lines.size());
}

QVariant DescriptionModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Line &line = m_lines.at(index.row());
    switch (role) {
    case LineRole:
    case Qt::DisplayRole:
        return line.text;
    case HeadingRole:
        return line.heading;
    }
    return {};
}

QHash<int, QByteArray> DescriptionModel::roleNames() const
{
    return {{LineRole, "line"}, {HeadingRole, "heading"}};
}

// --- VersionModel ---

void VersionModel::setVersions(const QVariant &versions)
{
    if (versions == m_source)
        return;
    beginResetModel();
    m_source = versions;
    m_present = versions.isValid() && !versions.isNull();
    const QVariantList list = m_present ? versions.toList() : QVariantList{};
    m_total = int(list.size());
    m_rows = recordsOf<AppVersion>(list, shownRows);
    endResetModel();
    Q_EMIT versionsChanged();
}

QString VersionModel::caption() const
{
    return u"共 %1 个版本，升级后出现兼容问题可降回"_s.arg(m_total);
}

int VersionModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant VersionModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const AppVersion &version = m_rows.at(index.row());
    switch (role) {
    case VersionRole:
    case Qt::DisplayRole:
        return version.version;
    case SizeRole:
        return version.size;
    case ReleasedRole:
        return version.releasedAt.left(10);
    case NotesRole:
        return version.notes.value_or(QString());
    case CurrentRole:
        return index.row() == 0;
    }
    return {};
}

QHash<int, QByteArray> VersionModel::roleNames() const
{
    return {{VersionRole, "version"},
            {SizeRole, "size"},
            {ReleasedRole, "released"},
            {NotesRole, "notes"},
            {CurrentRole, "current"}};
}

// --- ReviewModel ---

void ReviewModel::setReviews(const QVariantList &reviews)
{
    if (reviews == m_source)
        return;
    beginResetModel();
    m_source = reviews;
    m_rows = recordsOf<StoreReview>(reviews, shownRows);
    endResetModel();
    Q_EMIT reviewsChanged();
}

int ReviewModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant ReviewModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const StoreReview &review = m_rows.at(index.row());
    switch (role) {
    case NicknameRole:
    case Qt::DisplayRole:
        return review.nickname;
    case InitialRole:
        return firstCharacter(review.nickname);
    case RatingRole:
        return review.rating;
    case DateRole:
        return formatDate(review.createdAt);
    case ContentRole:
        return review.content;
    }
    return {};
}

QHash<int, QByteArray> ReviewModel::roleNames() const
{
    return {{NicknameRole, "nickname"},
            {InitialRole, "initial"},
            {RatingRole, "rating"},
            {DateRole, "date"},
            {ContentRole, "content"}};
}
