#pragma once

#include "service/CatalogRecords.h"

#include <QHash>
#include <QString>

#include <optional>

// How an installed application is paired with a store entry and whether the store's version is newer.
namespace UpdateMatch {

// Store entries of the home payload by exact name: featured, then top, then latest; the first entry met
// with a name wins.
[[nodiscard]] QHash<QString, StoreApp> storeTable(const StoreHome &home);

// The entry whose name equals localName exactly (case-sensitive, untrimmed); the bundle identifier is not used.
[[nodiscard]] std::optional<StoreApp> match(const QHash<QString, StoreApp> &table, const QString &localName);

// Whether candidate is a later version than installed: dot-separated whole numbers compared position by
// position, a missing position or a piece that is not a whole number (3b, 未知) counting as 0.
[[nodiscard]] bool isNewer(const QString &candidate, const QString &installed);

} // namespace UpdateMatch
