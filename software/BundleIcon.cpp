#include "software/BundleIcon.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QQmlEngine>
#include <QRunnable>
#include <QThread>
#include <QThreadPool>
#include <QUrl>

#include <plist/plist.h>

#include <algorithm>
#include <atomic>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// An Info.plist is a few kilobytes, an icon at most a few megabytes; larger files are not read.
constexpr qint64 kMaxPlistBytes = 16 * 1024 * 1024;
constexpr qint64 kMaxIconBytes = 64 * 1024 * 1024;

std::optional<QString> plistString(const QString &plistPath, std::initializer_list<const char *> keys)
{
    QFile file(plistPath);
    if (!QFileInfo(plistPath).isFile() || file.size() > kMaxPlistBytes || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray data = file.readAll();
    if (data.isEmpty())
        return std::nullopt;
    plist_t root = nullptr;
    plist_from_memory(data.constData(), static_cast<uint32_t>(data.size()), &root);
    const std::unique_ptr<void, void (*)(plist_t)> guard(root, plist_free);
    if (!root || plist_get_node_type(root) != PLIST_DICT)
        return std::nullopt;
    for (const char *key : keys) {
        plist_t node = plist_dict_get_item(root, key);
        if (!node || plist_get_node_type(node) != PLIST_STRING)
            continue;
        uint64_t length = 0;
        const char *text = plist_get_string_ptr(node, &length);
        if (length > 0)
            return QString::fromUtf8(text, static_cast<qsizetype>(length));
    }
    return std::nullopt;
}

// Icons decode on a pool of their own, so they never hold a thread that a scan measuring bundles on the global
// pool is waiting for; half the cores at most, the rest stay with the scan and the page.
struct IconPool : QThreadPool
{
    IconPool() { setMaxThreadCount(std::max(1, QThread::idealThreadCount() / 2)); }
};
Q_GLOBAL_STATIC(IconPool, iconPool)

// Loads on the icon pool and hands the image over through a queued signal, so a response Qt Quick has already
// dropped (the row scrolled away) never receives it. A job whose response was cancelled before it started
// decodes nothing.
class IconJob : public QObject, public QRunnable
{
    Q_OBJECT

public:
    IconJob(QString bundlePath, QSize size, std::shared_ptr<std::atomic_bool> cancelled)
        : m_bundlePath(std::move(bundlePath))
        , m_size(size)
        , m_cancelled(std::move(cancelled))
    { }

    void run() override { Q_EMIT done(*m_cancelled ? QImage() : BundleIcon::shown(m_bundlePath, m_size)); }

Q_SIGNALS:
    void done(const QImage &image);

private:
    QString m_bundlePath;
    QSize m_size;
    std::shared_ptr<std::atomic_bool> m_cancelled;
};

class IconResponse : public QQuickImageResponse
{
public:
    IconResponse(const QString &bundlePath, QSize size)
    {
        auto *job = new IconJob(bundlePath, size, m_cancelled);
        connect(job, &IconJob::done, this, [this](const QImage &image) {
            m_image = image;
            Q_EMIT finished();
        });
        iconPool()->start(job);
        // Qt Quick forgets a response still waiting when its engine goes, and the loader thread that would take
        // the image has ended by then: such a response is deleted with that thread.
        connect(
            QThread::currentThread(), &QThread::finished, this, [this] { delete this; }, Qt::DirectConnection);
    }

    // The row is gone; the job still reports (Qt Quick waits for finished()) but skips the decoding.
    void cancel() override { *m_cancelled = true; }

    QQuickTextureFactory *textureFactory() const override
    {
        return QQuickTextureFactory::textureFactoryForImage(m_image);
    }

    QString errorString() const override { return m_image.isNull() ? u"no icon"_s : QString(); }

private:
    QImage m_image;
    std::shared_ptr<std::atomic_bool> m_cancelled = std::make_shared<std::atomic_bool>(false);
};

} // namespace

namespace BundleIcon {

QString iconFile(const QString &bundlePath)
{
    const QString contents = bundlePath + u"/Contents"_s;
    const auto name = plistString(contents + u"/Info.plist"_s, {"CFBundleIconFile", "CFBundleIconName"});
    if (!name || name->contains(u'/'))
        return {};
    const QString resources = contents + u"/Resources/"_s;
    QStringList candidates{resources + *name};
    if (QFileInfo(*name).suffix().isEmpty())
        candidates.prepend(resources + *name + u".icns"_s);
    for (const QString &candidate : std::as_const(candidates)) {
        if (QFileInfo(candidate).isFile())
            return candidate;
    }
    return {};
}

QImage load(const QString &bundlePath, const QSize &size)
{
    const QString file = iconFile(bundlePath);
    if (file.isEmpty() || QFileInfo(file).size() > kMaxIconBytes)
        return {};
    QImageReader reader(file);
    reader.setDecideFormatFromContent(true);
    const int wanted = size.isValid() ? std::max(size.width(), size.height()) : 0;

    // Pick the representation: the smallest that is at least the wanted size, else the largest. The ICNS
    // plugin reports no size before decoding, so each representation is decoded (they are small).
    QImage image;
    const int count = std::max(reader.imageCount(), 1);
    for (int i = 0; i < count; ++i) {
        if (count > 1 && !reader.jumpToImage(i))
            continue;
        const QImage candidate = reader.read();
        if (candidate.isNull())
            continue;
        const int side = std::max(candidate.width(), candidate.height());
        const int bestSide = std::max(image.width(), image.height());
        const bool fits = side >= wanted;
        const bool bestFits = !image.isNull() && bestSide >= wanted;
        if (image.isNull() || (fits && (!bestFits || side < bestSide)) || (!fits && !bestFits && side > bestSide))
            image = candidate;
    }
    if (image.isNull() || !size.isValid() || image.size() == size)
        return image;
    return image.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

QImage shown(const QString &bundlePath, const QSize &size)
{
#ifdef Q_OS_MACOS
    return workspaceIcon(bundlePath, size);
#else
    return load(bundlePath, size);
#endif
}

} // namespace BundleIcon

QQuickImageResponse *BundleIconProvider::requestImageResponse(const QString &id, const QSize &requestedSize)
{
    return new IconResponse(QUrl::fromPercentEncoding(id.toUtf8()), requestedSize);
}

AppIcons::AppIcons(QQmlEngine *engine)
{
    if (engine && !engine->imageProvider(QString::fromLatin1(BundleIconProvider::id)))
        engine->addImageProvider(QString::fromLatin1(BundleIconProvider::id), new BundleIconProvider);
}

AppIcons *AppIcons::create(QQmlEngine *engine, QJSEngine *)
{
    return new AppIcons(engine);
}

QUrl AppIcons::source(const QString &bundlePath)
{
    return QUrl(u"image://bundleicon/"_s + QString::fromLatin1(QUrl::toPercentEncoding(bundlePath)));
}

#include "BundleIcon.moc"
