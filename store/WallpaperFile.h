#pragma once
// Saving a fetched file safely: the name check for service-supplied slugs and a streamed fetch that replaces
// the target in one rename, leaving the old file untouched on any failure.
#include <QString>
#include <QUrl>

#include <functional>

#include <QCoro/QCoroTask>

// True when text can be used inside one file name: not empty, not "." or "..", no path separator and no
// control character.
[[nodiscard]] bool isPlainFileName(const QString &text);

enum class FileFetch {
    saved, // the reply was 200 and the target now holds its body
    badStatus, // an HTTP reply other than 200
    failed, // no HTTP reply, a broken transfer or the file could not be written
};

// GETs url through the app's shared network manager and streams the body into a temporary file beside target,
// renamed over target only when the whole body arrived with status 200. The temporary file never outlives
// the call. `progress`, when given, hears the bytes received and the length (-1 when the reply has none).
QCoro::Task<FileFetch> fetchToFile(QUrl url, QString target,
                                   std::function<void(qint64 received, qint64 total)> progress = {});
