#pragma once
// The first-start content of a fresh database: the Chinese demo catalogue and the two demo accounts.
#include <QString>
#include <span>

class Database;

bool seedCatalogue(Database &db, QString *error);
bool seedAccounts(Database &db, QString *error);

namespace Seed {

struct Category
{
    const char *slug;
    const char *name;
    const char *glyph;
    const char *accent;
};

enum Flag { StaffPick = 1, EditorsChoice = 2, Featured = 4 };

struct App
{
    const char *slug;
    const char *name;
    const char *tagline;
    const char *glyph;
    const char *accent;
    const char *accent2;
    const char *version;
    const char *size;
    const char *minOs;
    const char *arch;
    const char *license; // an empty licence means free
    double price;
    double rating;
    int ratingCount;
    long long downloads;
    const char *category;
    int flags;
    const char *tags; // separated by ","
    const char *features; // separated by "|"
    const char *description;
    const char *developer;
    const char *updatedAt;
};

struct Wallpaper
{
    const char *slug;
    const char *title;
    const char *collection;
    const char *c1;
    const char *c2;
    const char *c3;
    bool featured;
};

struct Plan
{
    int id;
    const char *slug;
    const char *name;
    int days;
    double price;
    double originalPrice;
    const char *badge;
    const char *description;
    const char *features;
};

struct Article
{
    const char *kind;
    const char *slug;
    const char *title;
    const char *summary;
    const char *body;
    const char *publishedAt;
};

std::span<const Category> categories();
std::span<const App> apps();
std::span<const Wallpaper> wallpapers();
std::span<const Plan> plans();
std::span<const Article> articles();
std::span<const char *const> reviewTexts();
std::span<const char *const> reviewerNames();
std::span<const char *const> releaseNotes();

} // namespace Seed
