#pragma once

#include <QColor>
#include <QQuickItem>

// A rounded rectangle filled with a two-colour gradient from the top-left to the bottom-right corner, drawn as
// vertex-coloured triangles with a one-pixel soft edge. Needs no offscreen layer or texture, so a grid of app
// icons costs one batched draw rather than one multisampled layer per icon.
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
};
