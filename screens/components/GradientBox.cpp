#include "screens/components/GradientBox.h"

#include <QSGGeometryNode>
#include <QSGVertexColorMaterial>
#include <QtMath>

#include <algorithm>
#include <array>

namespace {

// A point of the outline and its outward unit normal.
struct Edge
{
    QPointF at;
    QPointF normal;
};

// The outline clockwise from the top-left corner's arc; each corner is an arc of `segments` steps.
QList<Edge> outline(qreal w, qreal h, qreal r)
{
    const int segments = r < 0.5 ? 0 : std::clamp(int(std::ceil(r / 2)), 3, 16);
    const QPointF centres[4] = {{r, r}, {w - r, r}, {w - r, h - r}, {r, h - r}};
    QList<Edge> points;
    for (int corner = 0; corner < 4; ++corner) {
        const qreal start = M_PI + corner * M_PI_2;
        if (segments == 0) {
            // A square corner: the diagonal offset pushes both of its sides out by the same amount.
            const QPointF normal(std::cos(start + M_PI_4) * M_SQRT2, std::sin(start + M_PI_4) * M_SQRT2);
            points.append({centres[corner], normal});
            continue;
        }
        for (int i = 0; i <= segments; ++i) {
            const qreal angle = start + M_PI_2 * i / segments;
            const QPointF normal(std::cos(angle), std::sin(angle));
            points.append({centres[corner] + normal * r, normal});
        }
    }
    return points;
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
    update();
    Q_EMIT appearanceChanged();
}

void GradientBox::geometryChange(const QRectF &newGeometry, const QRectF &oldGeometry)
{
    QQuickItem::geometryChange(newGeometry, oldGeometry);
    if (newGeometry.size() != oldGeometry.size())
        update();
}

QSGNode *GradientBox::updatePaintNode(QSGNode *old, UpdatePaintNodeData *)
{
    const qreal w = width(), h = height();
    if (w <= 0 || h <= 0) {
        delete old;
        return nullptr;
    }
    const QList<Edge> edges = outline(w, h, std::max<qreal>(0, std::min({m_radius, w / 2, h / 2})));
    const int n = int(edges.size());

    auto *node = static_cast<QSGGeometryNode *>(old);
    if (!node) {
        node = new QSGGeometryNode;
        node->setMaterial(new QSGVertexColorMaterial);
        node->setFlag(QSGNode::OwnsMaterial);
    }
    // Vertices: the centre, then per outline point one just inside (opaque) and one just outside (clear).
    auto *geometry = new QSGGeometry(QSGGeometry::defaultAttributes_ColoredPoint2D(), 1 + 2 * n, 9 * n,
                                     QSGGeometry::UnsignedShortType);
    geometry->setDrawingMode(QSGGeometry::DrawTriangles);
    const qreal span = w * w + h * h;
    const auto colourAt = [&](QPointF p, qreal alpha) {
        const qreal t = std::clamp((p.x() * w + p.y() * h) / span, 0.0, 1.0);
        const qreal a = alpha * (m_from.alphaF() + (m_to.alphaF() - m_from.alphaF()) * t);
        const auto channel = [&](qreal from, qreal to) {
            return uchar(std::lround((from + (to - from) * t) * a * 255));
        };
        return std::array<uchar, 4>{channel(m_from.redF(), m_to.redF()), channel(m_from.greenF(), m_to.greenF()),
                                    channel(m_from.blueF(), m_to.blueF()), uchar(std::lround(a * 255))};
    };
    QSGGeometry::ColoredPoint2D *vertices = geometry->vertexDataAsColoredPoint2D();
    const auto put = [&](int index, QPointF p, qreal alpha) {
        const auto c = colourAt(p, alpha);
        vertices[index].set(float(p.x()), float(p.y()), c[0], c[1], c[2], c[3]);
    };
    put(0, {w / 2, h / 2}, 1);
    for (int i = 0; i < n; ++i) {
        put(1 + 2 * i, edges[i].at - edges[i].normal * 0.5, 1);
        put(2 + 2 * i, edges[i].at + edges[i].normal * 0.5, 0);
    }
    quint16 *index = geometry->indexDataAsUShort();
    for (int i = 0; i < n; ++i) {
        const auto inner = quint16(1 + 2 * i), outer = quint16(2 + 2 * i);
        const auto nextInner = quint16(1 + 2 * ((i + 1) % n)), nextOuter = quint16(2 + 2 * ((i + 1) % n));
        for (quint16 v : {quint16(0), inner, nextInner, inner, outer, nextInner, nextInner, outer, nextOuter})
            *index++ = v;
    }
    node->setGeometry(geometry);
    node->setFlag(QSGNode::OwnsGeometry);
    node->markDirty(QSGNode::DirtyGeometry | QSGNode::DirtyMaterial);
    return node;
}
