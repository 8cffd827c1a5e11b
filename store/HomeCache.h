#pragma once
// The last home payload the service sent, kept on disk: the next start draws its pages at once (and a start
// without a connection still has them) while the fresh one loads.
#include "service/CatalogRecords.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace HomeCache {
// Larger bodies are not kept: the file stays small, and reading it never holds up the first frame.
constexpr qsizetype maxBytes = 1024 * 1024;

// The file in the user's cache folder.
QString path();
// Keeps `body`, a reply that decoded, as the home payload of the service at `site`; readable by the owner only,
// replaced atomically. Does nothing for larger bodies.
void save(const QString &site, const QByteArray &body);
// The kept payload of the service at `site`; absent when there is none, or it is of another service or of
// another format, or does not decode.
std::optional<StoreHome> load(const QString &site);
} // namespace HomeCache
