#include "store/WallpaperFile.h"

#include "service/Network.h"
#include "service/Transport.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTemporaryFile>
#include <QtConcurrent/QtConcurrentRun>
#include <filesystem>
#include <memory>

#include <QCoro/QCoroFuture>
#include <QCoro/QCoroNetworkReply>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace {

// The platform's default idle time-out for a file fetch.
constexpr int transferTimeoutMs = 60'000;
// The whole transfer: a 5K picture comes in well under a minute on a slow line; one dripping for longer is stopped.
constexpr int fetchDeadlineMs = 5 * 60'000;

// How a JPEG (its start-of-image marker) and a PNG (its signature) begin.
constexpr QByteArrayView jpegStart("\xFF\xD8\xFF", 3);
constexpr QByteArrayView pngStart("\x89PNG\r\n\x1A\n", 8);
constexpr qsizetype headBytes = 8;
// More than any picture the store offers (a 5K PNG stays well under it): a longer body is stopped, so a faulty
// service cannot fill the disk.
constexpr qint64 maxPictureBytes = 128 * 1024 * 1024;

// True while the first bytes seen so far could still begin a JPEG or a PNG.
bool couldStartPicture(QByteArrayView head)
{
    const auto begins = [head](QByteArrayView start) {
        return start.startsWith(head.first(std::min(head.size(), start.size())));
    };
    return begins(jpegStart) || begins(pngStart);
}

bool startsAsPicture(QByteArrayView head)
{
    return head.startsWith(jpegStart) || head.startsWith(pngStart);
}

// True when the file at path is a whole JPEG or PNG picture: its first bytes say so and it decodes. Reads the
// whole file: runs on a worker.
bool isPictureFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !startsAsPicture(file.peek(headBytes)))
        return false;
    QImageReader reader(&file);
    const QByteArray format = reader.format();
    const QSize size = reader.size();
    if ((format != "jpeg" && format != "png") || size.isEmpty())
        return false;
    // A JPEG decodes at an eighth of its size in a fraction of the time and memory, every block still read.
    if (format == "jpeg")
        reader.setScaledSize(QSize(std::max(1, size.width() / 8), std::max(1, size.height() / 8)));
    QImage image;
    return reader.read(&image);
}

// Deleted on the next event-loop turn: the reply may be the sender whose signal resumed the fetch.
struct DeleteLater
{
    void operator()(QObject *object) const
    {
        object->disconnect();
        object->deleteLater();
    }
};

// Puts the finished temporary file in place of target when it holds a picture: written through to the disk, then
// renamed over target in one step. Runs on a worker: it reads the whole file and waits for the disk.
bool keepIfPicture(const QString &temporary, const QString &target)
{
    if (!isPictureFile(temporary))
        return false;
#ifdef Q_OS_UNIX
    QFile file(temporary);
    if (!file.open(QIODevice::ReadOnly) || ::fsync(file.handle()) != 0)
        return false;
#endif
    std::error_code error;
    std::filesystem::rename(QFile::encodeName(temporary).toStdString(), QFile::encodeName(target).toStdString(), error);
    return !error;
}

} // namespace

bool isPlainFileName(const QString &text)
{
    if (text.isEmpty() || text == u"."_s || text == u".."_s)
        return false;
    for (const QChar c : text) {
        if (c == u'/' || c == u'\\' || c.category() == QChar::Other_Control)
            return false;
    }
    return true;
}

QCoro::Task<FileFetch> fetchPictureToFile(QUrl url, QString target, std::function<void(qint64, qint64)> progress,
                                          const FetchCanceller *canceller)
{
    const QFileInfo targetInfo(target);
    QTemporaryFile file(targetInfo.dir().filePath(u"."_s + targetInfo.fileName() + u".XXXXXX"_s));
    if (!file.open())
        co_return FileFetch::failed;
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                        QFileDevice::ReadOther);

    QNetworkRequest request(url);
    request.setTransferTimeout(transferTimeoutMs);
    // Declared after the file so it is released first: no readyRead can reach a closed file.
    const std::unique_ptr<QNetworkReply, DeleteLater> reply(sharedNetwork().get(request));
    QNetworkReply *raw = reply.get();
    Transport::guard(raw, maxPictureBytes, fetchDeadlineMs);
    if (canceller)
        QObject::connect(canceller, &FetchCanceller::cancelled, raw,
                         [raw] { Transport::stop(raw, Transport::Stop::cancelled); });
    QByteArray head;
    qint64 written = 0;
    // An abort finishes the reply and may resume this frame before it returns: nothing captured is touched after.
    QObject::connect(raw, &QNetworkReply::readyRead, raw, [raw, &file, &head, &written] {
        const QByteArray chunk = raw->readAll();
        written += chunk.size();
        if (written > maxPictureBytes) {
            raw->abort();
            return;
        }
        if (head.size() < headBytes) {
            head += chunk.first(std::min(headBytes - head.size(), chunk.size()));
            if (!couldStartPicture(head)) {
                raw->abort();
                return;
            }
        }
        if (file.write(chunk) < 0)
            raw->abort();
    });

    if (progress)
        QObject::connect(raw, &QNetworkReply::downloadProgress, raw, progress);

    co_await qCoro(raw).waitForFinished();

    switch (Transport::stopReason(raw)) {
    case Transport::Stop::deadline:
        co_return FileFetch::timedOut;
    case Transport::Stop::cancelled:
        co_return FileFetch::cancelled;
    case Transport::Stop::tooLarge:
    case Transport::Stop::none:
        break;
    }
    const QVariant status = raw->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid())
        co_return FileFetch::failed;
    if (status.toInt() != 200)
        co_return FileFetch::badStatus;
    if (raw->error() != QNetworkReply::NoError)
        co_return FileFetch::failed;
    if (raw->bytesAvailable() > 0 && file.write(raw->readAll()) < 0)
        co_return FileFetch::failed;
    if (!file.flush())
        co_return FileFetch::failed;

    // The whole picture is decoded once: a body that only starts like a picture is refused too.
    QFuture<bool> keeping = QtConcurrent::run(keepIfPicture, file.fileName(), target);
    if (!co_await keeping)
        co_return FileFetch::failed;
    file.setAutoRemove(false);
    co_return FileFetch::saved;
}
