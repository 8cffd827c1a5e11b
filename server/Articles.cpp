#include "server/Articles.h"

#include "server/Database.h"

#include <QSqlQuery>

namespace {

Article summaryFrom(const QSqlQuery &q)
{
    return Article{q.value(0).toString(), q.value(1).toString(), q.value(2).toString(), {}, {}};
}

} // namespace

std::optional<Article> Articles::find(const QString &kind, const QString &slug)
{
    QSqlQuery q = m_db.run(QStringLiteral("SELECT slug, title, summary, body, published_at FROM articles"
                                          " WHERE kind = ? AND slug = ?"),
                           {kind, slug});
    if (!q.next())
        return std::nullopt;
    return Article{q.value(0).toString(), q.value(1).toString(), q.value(2).toString(), q.value(3).toString(),
                   q.value(4).toString()};
}

QList<Article> Articles::guides()
{
    QList<Article> out;
    QSqlQuery q =
        m_db.run(QStringLiteral("SELECT slug, title, summary FROM articles WHERE kind = 'guide' ORDER BY id"));
    while (q.next())
        out.append(summaryFrom(q));
    return out;
}

QList<Article> Articles::searchPosts(const QString &text)
{
    const QString pattern = Database::containsPattern(text);
    const QString &like = Database::kLikeEscaped;
    QList<Article> out;
    QSqlQuery q = m_db.run(QStringLiteral("SELECT slug, title, summary FROM articles WHERE kind = 'post' AND"
                                          " (LOWER(title)") +
                               like + QStringLiteral(" OR LOWER(summary)") + like + QStringLiteral(" OR LOWER(body)") +
                               like + QStringLiteral(") ORDER BY published_at DESC"),
                           {pattern, pattern, pattern});
    while (q.next())
        out.append(summaryFrom(q));
    return out;
}
