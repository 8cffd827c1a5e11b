#pragma once
// Blog posts and guides as the pages and the search need them. Every statement on the articles table lives here.
#include <QList>
#include <QString>
#include <optional>

class Database;

struct Article
{
    QString slug, title, summary, body, publishedAt;
};

class Articles
{
public:
    explicit Articles(Database &db)
        : m_db(db)
    { }

    // kind: "post" or "guide".
    std::optional<Article> find(const QString &kind, const QString &slug);
    QList<Article> guides(); // in the order they were written
    // Posts whose title, summary or body holds the text, newest first; without their bodies.
    QList<Article> searchPosts(const QString &text);

private:
    Database &m_db;
};
