#include "server/Images.h"

#include "server/Records.h"

#include <QBuffer>
#include <QColor>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRandomGenerator>
#include <QSaveFile>
#include <qrencode.h>

namespace Images {

QByteArray qrPng(const QByteArray &text)
{
    QRcode *code = QRcode_encodeString(text.constData(), 0, QR_ECLEVEL_M, QR_MODE_8, 1);
    if (!code)
        return {};
    constexpr int kModule = 8;
    constexpr int kQuiet = 4;
    const int side = (code->width + 2 * kQuiet) * kModule;
    QImage image(side, side, QImage::Format_Grayscale8);
    image.fill(Qt::white);
    for (int y = 0; y < code->width; ++y) {
        for (int x = 0; x < code->width; ++x) {
            if (!(code->data[y * code->width + x] & 1))
                continue;
            for (int dy = 0; dy < kModule; ++dy) {
                uchar *line = image.scanLine((y + kQuiet) * kModule + dy);
                std::fill_n(line + (x + kQuiet) * kModule, kModule, uchar(0));
            }
        }
    }
    QRcode_free(code);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return {};
    return png;
}

QString wallpaperFileName(const QString &slug, WallpaperSize size, bool thumb)
{
    return slug + (size == WallpaperSize::full ? QStringLiteral("-5k") : QStringLiteral("-4k")) +
        (thumb ? QStringLiteral("-thumb.jpg") : QStringLiteral(".jpg"));
}

namespace {

void paintGlow(QPainter &p, QPointF centre, qreal radius, QColor colour, int alpha)
{
    QRadialGradient glow(centre, radius);
    colour.setAlpha(alpha);
    glow.setColorAt(0, colour);
    colour.setAlpha(0);
    glow.setColorAt(1, colour);
    p.fillRect(QRectF(0, 0, p.device()->width(), p.device()->height()), glow);
}

// A seed that depends on the slug alone (FNV-1a), unlike qHash, which may change between Qt versions: every
// instance of the service draws the same picture for the same wallpaper row.
quint32 stableSeed(const QString &slug)
{
    quint32 hash = 2166136261u;
    for (const char byte : slug.toUtf8())
        hash = (hash ^ quint8(byte)) * 16777619u;
    return hash;
}

// Every picture is drawn in relative units, so the thumbnail is the same picture at a smaller size.
QImage drawWallpaper(const WallpaperEntry &w, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal W = size.width(), H = size.height();
    const QColor c1(w.c1), c2(w.c2), c3(w.c3);
    QRandomGenerator random(stableSeed(w.slug));

    QLinearGradient base(0, 0, W, H);
    base.setColorAt(0, c1);
    base.setColorAt(1, c2);
    p.fillRect(image.rect(), base);

    if (w.collection == QLatin1String("abstract")) {
        for (int i = 0; i < 7; ++i) {
            const QPointF centre(random.bounded(1.0) * W, random.bounded(1.0) * H);
            const qreal radius = (0.15 + random.bounded(0.35)) * W;
            paintGlow(p, centre, radius, i % 2 ? c3 : c1.lighter(130), 120 + int(random.bounded(90)));
        }
    } else if (w.collection == QLatin1String("minimal")) {
        paintGlow(p, QPointF(W * 0.72, H * 0.32), H * 0.5, c3, 90);
        QPainterPath hills;
        hills.moveTo(0, H);
        hills.lineTo(0, H * 0.74);
        hills.cubicTo(W * 0.25, H * 0.62, W * 0.45, H * 0.80, W * 0.7, H * 0.68);
        hills.cubicTo(W * 0.85, H * 0.62, W * 0.95, H * 0.70, W, H * 0.66);
        hills.lineTo(W, H);
        hills.closeSubpath();
        QColor shade = c2.darker(125);
        shade.setAlpha(200);
        p.fillPath(hills, shade);
        const qreal moon = H * 0.06;
        p.setBrush(c3);
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(W * 0.72, H * 0.32), moon, moon);
    } else {
        paintGlow(p, QPointF(W * 0.2, H * 0.85), W * 0.6, c3, 150);
        paintGlow(p, QPointF(W * 0.85, H * 0.15), W * 0.45, c1.lighter(120), 110);
    }
    p.end();
    return image;
}

} // namespace

QString ensureWallpaper(const QString &folder, const WallpaperEntry &wallpaper, WallpaperSize size, bool thumb)
{
    const QString path = QDir(folder).filePath(wallpaperFileName(wallpaper.slug, size, thumb));
    if (QFileInfo::exists(path))
        return path;
    if (!QDir().mkpath(folder))
        return {};
    const QSize pixels = thumb ? kThumbSize : (size == WallpaperSize::full ? kFullSize : kPreviewSize);
    const QImage image = drawWallpaper(wallpaper, pixels);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    QImageWriter writer(&file, "jpeg");
    writer.setQuality(thumb ? 80 : 90);
    if (!writer.write(image) || !file.commit())
        return {};
    return path;
}

} // namespace Images
