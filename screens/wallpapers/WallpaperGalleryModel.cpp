#include "screens/wallpapers/WallpaperGalleryModel.h"

#include "screens/components/Logging.h"
#include "screens/wallpapers/DesktopWallpaper.h"
#include "service/StoreAPI.h"
#include "store/Platform.h"
#include "store/Store.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QPointer>

#include <algorithm>

using namespace Qt::StringLiterals;

WallpaperGalleryModel::WallpaperGalleryModel(QObject *parent)
    : QAbstractListModel(parent)
{
    if (Store *store = Store::instance()) {
        // A download that ends may have saved a picture.
        connect(store, &Store::wallpaperBusyChanged, this, &WallpaperGalleryModel::refreshSaved);
        connect(store, &Store::wallpaperBusyChanged, this, &WallpaperGalleryModel::progressChanged);
        connect(store, &Store::wallpaperProgressChanged, this, &WallpaperGalleryModel::progressChanged);
        connect(store, &Store::homeChanged, this, &WallpaperGalleryModel::unlockedChanged);
    }
}

QString WallpaperGalleryModel::savedPath(const QString &slug)
{
    return QDir(Platform::instance().picturesFolder()).filePath(u"Vexlo-"_s + slug + u".jpg"_s);
}

QString WallpaperGalleryModel::formatProgress(qint64 received, qint64 total)
{
    const QLocale c = QLocale::c();
    const auto megabytes = [&c](qint64 bytes) { return c.toString(double(bytes) / 1e6, 'f', 1) + u" MB"_s; };
    if (total <= 0)
        return megabytes(received);
    return megabytes(received) + u" / "_s + megabytes(total);
}

bool WallpaperGalleryModel::unlocked() const
{
    const Store *store = Store::instance();
    return store && store->member() && store->member()->sponsorActive;
}

double WallpaperGalleryModel::progress() const
{
    const Store *store = Store::instance();
    if (!store || !store->wallpaperBusy() || store->wallpaperTotal() <= 0)
        return -1;
    return std::clamp(double(store->wallpaperReceived()) / double(store->wallpaperTotal()), 0.0, 1.0);
}

QString WallpaperGalleryModel::progressText() const
{
    const Store *store = Store::instance();
    if (!store || !store->wallpaperBusy() || (store->wallpaperReceived() <= 0 && store->wallpaperTotal() <= 0))
        return {};
    return formatProgress(store->wallpaperReceived(), store->wallpaperTotal());
}

int WallpaperGalleryModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_items.size());
}

QVariant WallpaperGalleryModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const StoreWallpaper &w = m_items.at(index.row());
    switch (role) {
    case WallpaperRole:
        return QVariant::fromValue(w);
    case SlugRole:
        return w.slug;
    case Qt::DisplayRole:
    case TitleRole:
        return w.title;
    case CaptionRole:
        return w.collection + u" · "_s + w.resolution;
    case C1Role:
        return w.c1;
    case C2Role:
        return w.c2;
    case ThumbRole:
        return w.thumbURL().value_or(QUrl());
    case SavedRole:
        return m_saved.contains(w.slug);
    }
    return {};
}

QHash<int, QByteArray> WallpaperGalleryModel::roleNames() const
{
    return {
        {WallpaperRole, "wallpaper"}, {SlugRole, "slug"},   {TitleRole, "title"},
        {CaptionRole, "caption"},     {C1Role, "c1"},       {C2Role, "c2"},
        {ThumbRole, "thumb"},         {SavedRole, "saved"},
    };
}

void WallpaperGalleryModel::setCollection(const QString &key)
{
    if (key == m_collection)
        return;
    m_collection = key;
    Q_EMIT collectionChanged();
    if (m_complete)
        reload();
}

void WallpaperGalleryModel::componentComplete()
{
    m_complete = true;
    reload();
}

void WallpaperGalleryModel::reload()
{
    loadTask();
}

QCoro::Task<> WallpaperGalleryModel::loadTask()
{
    const NewestReply::Ticket ticket = m_loads.begin();
    QPointer<WallpaperGalleryModel> self(this);
    setLoading(true);
    // "all" is the absence of a filter: the list is asked for without a collection.
    const std::optional<QString> filter =
        m_collection == u"all"_s ? std::nullopt : std::optional<QString>(m_collection);
    auto result = co_await StoreAPI::wallpaperList(filter);
    if (!self || !m_loads.isCurrent(ticket))
        co_return; // the page is gone, or a newer load owns the list
    setLoading(false);
    if (!result.ok()) {
        qCWarning(lcScreens).noquote() << "wallpapers of" << m_collection << "not loaded:" << result.error();
        setFailure(result.error().reason());
        co_return;
    }
    setFailure({});
    setItems(std::move(result).take().wallpapers);
}

void WallpaperGalleryModel::download(int row, bool full)
{
    Store *store = Store::instance();
    if (!store || row < 0 || row >= m_items.size())
        return;
    store->downloadWallpaperTask(m_items.at(row), full);
}

void WallpaperGalleryModel::setAsDesktop(const QString &slug)
{
    setAsDesktopTask(slug);
}

QCoro::Task<> WallpaperGalleryModel::setAsDesktopTask(QString slug)
{
    const QString path = savedPath(slug);
    if (!QFile::exists(path)) {
        refreshSaved();
        co_return;
    }
    const DesktopWallpaper::Outcome outcome = co_await DesktopWallpaper::apply(path);
    if (outcome == DesktopWallpaper::Outcome::failed || outcome == DesktopWallpaper::Outcome::unavailable)
        qCWarning(lcScreens).noquote() << "desktop picture not set:" << DesktopWallpaper::message(outcome) << path;
    if (Store *store = Store::instance())
        store->showToast(DesktopWallpaper::message(outcome));
}

void WallpaperGalleryModel::refreshSaved()
{
    for (int row = 0; row < m_items.size(); ++row) {
        const QString &slug = m_items.at(row).slug;
        const bool saved = QFile::exists(savedPath(slug));
        if (saved == m_saved.contains(slug))
            continue;
        if (saved)
            m_saved.insert(slug);
        else
            m_saved.remove(slug);
        const QModelIndex at = index(row);
        Q_EMIT dataChanged(at, at, {SavedRole});
    }
}

void WallpaperGalleryModel::setItems(QList<StoreWallpaper> items)
{
    beginResetModel();
    m_items = std::move(items);
    m_saved.clear();
    for (const StoreWallpaper &w : std::as_const(m_items)) {
        if (QFile::exists(savedPath(w.slug)))
            m_saved.insert(w.slug);
    }
    endResetModel();
}

void WallpaperGalleryModel::setLoading(bool loading)
{
    if (loading == m_loading)
        return;
    m_loading = loading;
    Q_EMIT loadingChanged();
}

void WallpaperGalleryModel::setFailure(const QString &reason)
{
    if (reason == m_failure)
        return;
    m_failure = reason;
    Q_EMIT failureChanged();
}
