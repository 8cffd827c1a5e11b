// Wallpapers: saving a preview or full-size picture into the Pictures folder, one download at a time.
#include "store/Store.h"

#include "service/Endpoint.h"
#include "service/StoreAPI.h"
#include "store/Logging.h"
#include "store/Platform.h"
#include "store/WallpaperFile.h"

#include <QDir>
#include <QPointer>
#include <QScopeGuard>

using namespace Qt::StringLiterals;

void Store::downloadWallpaper(const QVariant &wallpaper, bool full)
{
    if (wallpaper.metaType() == QMetaType::fromType<StoreWallpaper>())
        downloadWallpaperTask(wallpaper.value<StoreWallpaper>(), full);
}

QCoro::Task<> Store::downloadWallpaperTask(StoreWallpaper wallpaper, bool full)
{
    if (m_wallpaperBusy)
        co_return;
    const QString slug = wallpaper.slug;
    QPointer<Store> self(this);
    const NewestReply::Ticket ticket = m_wallpaperSaves.begin();
    // After a cancel this save no longer owns the state, and a later one may: it ends without a word.
    const auto superseded = [self, ticket] { return !self || !self->m_wallpaperSaves.isCurrent(ticket); };
    setWallpaperBusy(slug);
    setWallpaperProgress(0, -1);
    auto idle = qScopeGuard([superseded, self] {
        if (!superseded()) {
            self->setWallpaperProgress(0, -1);
            self->setWallpaperBusy(std::nullopt);
        }
    });

    // The slug becomes part of a file name: anything that could leave the folder is refused before any request.
    if (!isPlainFileName(slug)) {
        qCWarning(lcStore) << "wallpaper refused: its slug is no file name" << slug;
        showToast(u"下载失败"_s);
        co_return;
    }

    auto reply = co_await StoreAPI::wallpaperDownload(slug, full);
    if (superseded())
        co_return;
    if (!reply.ok()) {
        qCWarning(lcStore).noquote() << "wallpaper" << slug << "not offered:" << reply.error();
        reportWallpaperFailure(reply.error());
        co_return;
    }
    const WallpaperDownload download = std::move(reply).take();
    // The path comes from the service: an address it leads off the service to is refused like a malformed one.
    const auto url = download.path ? Endpoint::onService(*download.path) : std::nullopt;
    if (!url) {
        qCWarning(lcStore).noquote() << "wallpaper" << slug << "refused: its address leads off the service";
        showToast(u"下载地址无效"_s);
        co_return;
    }

    const QString target = QDir(Platform::instance().picturesFolder()).filePath(u"Vexlo-"_s + slug + u".jpg"_s);
    // A named function, not a temporary: GCC 12 destroys temporaries of a co_await expression twice, which here
    // freed the guard's reference count while the Store still used it.
    const std::function<void(qint64, qint64)> progress = [self](qint64 received, qint64 total) {
        if (self)
            self->setWallpaperProgress(received, total);
    };
    if (!m_wallpaperCanceller)
        m_wallpaperCanceller = new FetchCanceller(this);
    const FileFetch fetched = co_await fetchPictureToFile(*url, target, progress, m_wallpaperCanceller);
    if (superseded())
        co_return;
    switch (fetched) {
    case FileFetch::saved: {
        const QString saved = u"已保存 "_s + download.resolution.value_or(QString()) + u" 到「图片」"_s;
        showToast(saved);
        revealFile(target, saved + u"，"_s);
        break;
    }
    case FileFetch::badStatus:
        qCWarning(lcStore).noquote() << "wallpaper" << slug << "not saved: the picture's address did not answer 200";
        showToast(u"原图下载失败"_s);
        break;
    case FileFetch::failed:
        qCWarning(lcStore).noquote() << "wallpaper" << slug << "not saved to" << target;
        showToast(u"下载失败"_s);
        break;
    case FileFetch::timedOut:
        qCWarning(lcStore).noquote() << "wallpaper" << slug << "not saved: out of time";
        showToast(u"下载超时，请稍后重试"_s);
        break;
    case FileFetch::cancelled:
        break;
    }
}

void Store::cancelWallpaperDownload()
{
    if (!m_wallpaperBusy)
        return;
    m_wallpaperSaves.drop();
    if (m_wallpaperCanceller)
        m_wallpaperCanceller->cancel();
    setWallpaperProgress(0, -1);
    setWallpaperBusy(std::nullopt);
    showToast(u"已取消下载"_s);
}

void Store::setWallpaperProgress(qint64 received, qint64 total)
{
    if (received == m_wallpaperReceived && total == m_wallpaperTotal)
        return;
    m_wallpaperReceived = received;
    m_wallpaperTotal = total;
    Q_EMIT wallpaperProgressChanged();
}

// A full-size picture for non-sponsors sends the user to the membership page.
void Store::reportWallpaperFailure(const ApiError &error)
{
    if (error.is(StoreError::Kind::needsSponsor)) {
        showToast(u"5K 原图需要赞助会员"_s);
        setSection(Section::member);
        return;
    }
    showToast(error.userMessage(u"下载失败"_s));
}
