#include "store/WallpaperFile.h"

#include "service/Network.h"

#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>
#include <memory>

#include <QCoro/QCoroNetworkReply>

using namespace Qt::StringLiterals;

namespace {

// The platform's default idle time-out for a file fetch.
constexpr int transferTimeoutMs = 60'000;

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

QCoro::Task<FileFetch> fetchToFile(QUrl url, QString target, std::function<void(qint64, qint64)> progress)
{
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly))
        co_return FileFetch::failed;

    QNetworkRequest request(url);
    request.setTransferTimeout(transferTimeoutMs);
    // Declared after the file so it is destroyed first: no readyRead can reach a closed file.
    std::unique_ptr<QNetworkReply> reply(sharedNetwork().get(request));
    QNetworkReply *raw = reply.get();
    QObject::connect(raw, &QNetworkReply::readyRead, raw, [raw, &file] {
        if (file.write(raw->readAll()) < 0)
            raw->abort();
    });

    if (progress)
        QObject::connect(raw, &QNetworkReply::downloadProgress, raw, progress);

    co_await qCoro(raw).waitForFinished();

    const QVariant status = raw->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid())
        co_return FileFetch::failed;
    if (status.toInt() != 200)
        co_return FileFetch::badStatus;
    if (raw->error() != QNetworkReply::NoError)
        co_return FileFetch::failed;
    if (raw->bytesAvailable() > 0 && file.write(raw->readAll()) < 0)
        co_return FileFetch::failed;
    co_return file.commit() ? FileFetch::saved : FileFetch::failed;
}
