#include "screens/components/GradientBox.h"

#include <QCache>
#include <QPainter>
#include <QPainterPath>
#include <QQuickWindow>
#include <QSGImageNode>
#include <QSGTexture>

#include <algorithm>
#include <cmath>

namespace {

// Painted boxes by size, radius and colours: a grid of icons of one app, or one page drawn again, paints once.
// The render thread (OpenGL) or the GUI thread (software) asks for them, each with its own cache.
QImage cachedPicture(QSize size, qreal radius, const QColor &from, const QColor &to)
{
    thread_local QCache<QString, QImage> pictures(4 * 1024 * 1024); // cost: bytes
    const QString key = QStringLiteral("%1x%2 %3 %4 %5")
                            .arg(size.width())
                            .arg(size.height())
                            .arg(radius)
                            .arg(from.rgba())
                            .arg(to.rgba());
    if (const QImage *found = pictures.object(key))
        return *found;
    QImage picture = GradientBox::paint(size, radius, from, to);
    const auto bytes = qsizetype(picture.sizeInBytes());
    pictures.insert(key, new QImage(picture), std::min<qsizetype>(bytes, pictures.maxCost()));
    return picture;
}

} // namespace

GradientBox::GradientBox(QQuickItem *parent)
    : QQuickItem(parent)
{
    setFlag(ItemHasContents);
}

void GradientBox::setFrom(const QColor &color)
{
    if (color != m_from) {
        m_from = color;
        changed();
    }
}

void GradientBox::setTo(const QColor &color)
{
    if (color != m_to) {
        m_to = color;
        changed();
    }
}

void GradientBox::setRadius(qreal radius)
{
    if (radius != m_radius) {
        m_radius = radius;
        changed();
    }
}

void GradientBox::changed()
{
    m_stale = true;
    update();
    Q_EMIT appearanceChanged();
}

void GradientBox::geometryChange(const QRectF &newGeometry, const QRectF &oldGeometry)
{
    QQuickItem::geometryChange(newGeometry, oldGeometry);
    if (newGeometry.size() != oldGeometry.size()) {
        m_stale = true;
        update();
    }
}

QImage GradientBox::paint(QSize size, qreal radius, const QColor &from, const QColor &to)
{
    QImage picture(size, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    QLinearGradient gradient(0, 0, size.width(), size.height());
    gradient.setColorAt(0, from);
    gradient.setColorAt(1, to);
    painter.setBrush(gradient);
    const qreal r = std::clamp<qreal>(radius, 0, std::min(size.width(), size.height()) / 2.0);
    painter.drawRoundedRect(QRectF(QPointF(0, 0), size), r, r);
    return picture;
}

QSGNode *GradientBox::updatePaintNode(QSGNode *old, UpdatePaintNodeData *)
{
    const qreal dpr = window() ? window()->effectiveDevicePixelRatio() : 1.0;
    const QSize pixels(int(std::ceil(width() * dpr)), int(std::ceil(height() * dpr)));
    if (pixels.isEmpty() || !window()) {
        delete old;
        return nullptr;
    }
    auto *node = static_cast<QSGImageNode *>(old);
    // A new picture gets a new node: the software renderer's image node does not free a texture it owns when
    // it is given another one, only when the node is deleted.
    if (node && (m_stale || node->texture()->textureSize() != pixels)) {
        delete node;
        node = nullptr;
    }
    if (!node) {
        node = window()->createImageNode();
        node->setOwnsTexture(true);
        node->setFiltering(QSGTexture::Linear);
        const QImage picture = cachedPicture(pixels, m_radius * dpr, m_from, m_to);
        node->setTexture(window()->createTextureFromImage(picture, QQuickWindow::TextureHasAlphaChannel));
        m_stale = false;
    }
    node->setRect(boundingRect());
    return node;
}
