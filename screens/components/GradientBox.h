#pragma once

#include <QColor>
#include <QImage>
#include <QQuickItem>

// A rounded rectangle filled with a two-colour gradient from the top-left to the bottom-right corner. It is
// painted once per size and colour pair into an image (shared by boxes that look alike) and shown as a textured
// node, which every scene graph backend draws alike: the software renderer draws no custom geometry or
// materials, and a vertex-coloured outline lost every gradient there.
class GradientBox : public QQuickItem
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QColor from READ from WRITE setFrom NOTIFY appearanceChanged)
    Q_PROPERTY(QColor to READ to WRITE setTo NOTIFY appearanceChanged)
    Q_PROPERTY(qreal radius READ radius WRITE setRadius NOTIFY appearanceChanged)

public:
    explicit GradientBox(QQuickItem *parent = nullptr);

    [[nodiscard]] QColor from() const { return m_from; }
    void setFrom(const QColor &color);
    [[nodiscard]] QColor to() const { return m_to; }
    void setTo(const QColor &color);
    [[nodiscard]] qreal radius() const { return m_radius; }
    void setRadius(qreal radius);

    // The picture of a box `size` device pixels large with corners of `radius` device pixels.
    [[nodiscard]] static QImage paint(QSize size, qreal radius, const QColor &from, const QColor &to);

Q_SIGNALS:
    void appearanceChanged();

protected:
    QSGNode *updatePaintNode(QSGNode *old, UpdatePaintNodeData *) override;
    void geometryChange(const QRectF &newGeometry, const QRectF &oldGeometry) override;

private:
    void changed();

    QColor m_from;
    QColor m_to;
    qreal m_radius = 0;
    bool m_stale = true;
};
