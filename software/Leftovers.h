#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// What an application leaves in the user's Library after its bundle is gone: support files, caches,
// preferences, containers, saved state, cookies, logs and launch agents. Only the Library is ever read or
// touched; a link that leads out of it is neither listed nor followed.
namespace Leftovers {

// How an item was found: named by the bundle identifier (checked for removal by default), or only sharing
// the app's display name (listed as possibly related, unchecked).
enum class Match { bundleId, name };

struct Item
{
    QString path;
    qint64 sizeBytes = 0;
    Match match = Match::bundleId;

    friend bool operator==(const Item &, const Item &) = default;
};

// The Library folders searched, relative to the Library.
[[nodiscard]] const QStringList &folders();

// The user's Library: ~/Library on macOS; elsewhere the sample Library seeded beside the sample applications.
[[nodiscard]] QString userLibrary();

// Whether an entry named `entry` in `folder` (one of folders()) belongs to bundleId: the identifier itself or
// followed by ".plist", ".savedState" or ".binarycookies"; in Group Containers also "<team>.<bundleId>".
// Exact and case-sensitive: "com.example.AppHelper" is not "com.example.App".
[[nodiscard]] bool namedByBundleId(const QString &folder, const QString &entry, const QString &bundleId);
// The same rule with the display name in place of the identifier (no team prefix).
[[nodiscard]] bool namedByDisplayName(const QString &entry, const QString &displayName);

// The items of one application, bundle-identifier items first, each group in folder order then by name.
// Blocks while sizes are measured: run it off the GUI thread.
[[nodiscard]] QList<Item> find(const QString &library, const QString &bundleId, const QString &displayName);

// Whether path is an item directly inside one of the Library's folders, reached without leaving the Library.
[[nodiscard]] bool isInsideLibrary(const QString &library, const QString &path);

// "bundle-id" or "name".
[[nodiscard]] QString matchKey(Match match);

} // namespace Leftovers
