#pragma once
// Saving a fetched picture safely: the name check for service-supplied slugs and a streamed fetch that replaces
// the target in one rename, only with a JPEG or PNG picture, leaving the old file untouched on any failure.
#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>

#include <QCoro/QCoroTask>

// True when text can be used inside one file name: not empty, not "." or "..", no path separator and no
// control character.
[[nodiscard]] bool isPlainFileName(const QString &text);

enum class FileFetch {
    saved, // the reply was 200 with a picture and the target now holds its body
    badStatus, // an HTTP reply other than 200
    failed, // no HTTP reply, a broken transfer, a body that is not a picture or the file could not be written
    timedOut, // the whole transfer took longer than a fetch may
    cancelled, // stopped through its canceller
};

// Handed to a fetch by its owner, who stops it with cancel().
class FetchCanceller : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    void cancel() { Q_EMIT cancelled(); }
Q_SIGNALS:
    void cancelled();
};

// GETs url through the app's shared network manager and streams the body into a temporary file beside target,
// renamed over target only when the whole body arrived with status 200 and is a JPEG or PNG picture (checked
// on a worker thread). A body that does not start as one stops the transfer at once, and so does a transfer
// still running after a few minutes. The temporary file never outlives the call. `progress`, when given, hears
// the bytes received and the length (-1 when the reply has none); `canceller`, when given, can stop the fetch.
QCoro::Task<FileFetch> fetchPictureToFile(QUrl url, QString target,
                                          std::function<void(qint64 received, qint64 total)> progress = {},
                                          const FetchCanceller *canceller = nullptr);
