import QtQuick
import QtQuick.Shapes
import Vexlo.Components

// A rounded rectangle filled with a two-colour gradient from the top-left to the bottom-right corner.
Shape {
    id: root
    property color from: Theme.accent
    property color to: Theme.accent
    property real radius: 0
    readonly property real r: Math.max(0, Math.min(radius, width / 2, height / 2))

    layer.enabled: true
    layer.samples: 4
    layer.smooth: true

    ShapePath {
        strokeWidth: -1
        strokeColor: "transparent"
        fillGradient: LinearGradient {
            x1: 0; y1: 0
            x2: root.width; y2: root.height
            GradientStop { position: 0; color: root.from }
            GradientStop { position: 1; color: root.to }
        }
        startX: root.r; startY: 0
        PathLine { x: root.width - root.r; y: 0 }
        PathArc { x: root.width; y: root.r; radiusX: root.r; radiusY: root.r }
        PathLine { x: root.width; y: root.height - root.r }
        PathArc { x: root.width - root.r; y: root.height; radiusX: root.r; radiusY: root.r }
        PathLine { x: root.r; y: root.height }
        PathArc { x: 0; y: root.height - root.r; radiusX: root.r; radiusY: root.r }
        PathLine { x: 0; y: root.r }
        PathArc { x: root.r; y: 0; radiusX: root.r; radiusY: root.r }
    }
}
