pragma ComponentBehavior: Bound
import QtQuick
import Vexlo.Components
import Vexlo.Service
import Vexlo.Catalog

// A decorative miniature window for an app: title bar with three dots, an accent-tinted sidebar and
// a content area in the app's gradient. It carries no text.
Rectangle {
    id: root
    property var app
    readonly property color accentColor: Theme.color(app ? app.accent : "")
    readonly property color accent2Color: Theme.color(app ? app.accent2 : "")
    height: 96
    radius: 9
    color: Theme.surface
    border.width: 1
    border.color: Theme.hairline
    clip: true

    Row {
        id: titleBar
        x: 8
        y: 6
        spacing: 4
        Repeater {
            model: Theme.windowButtons
            Rectangle {
                required property color modelData
                width: 5
                height: 5
                radius: 2.5
                color: modelData
            }
        }
    }
    Rectangle {
        id: sidebar
        x: 1
        y: 17
        width: Math.round(root.width * 0.26)
        height: root.height - 18
        color: Theme.tint(root.accentColor, 0.14)
        Column {
            x: 7
            y: 8
            spacing: 6
            Repeater {
                model: 4
                Rectangle {
                    required property int index
                    width: sidebar.width * (index === 0 ? 0.6 : 0.45) - 7
                    height: 4
                    radius: 2
                    color: Theme.tint(root.accentColor, index === 0 ? 0.55 : 0.3)
                }
            }
        }
    }
    GradientBox {
        id: canvas
        x: sidebar.width + 6
        y: 22
        width: root.width - x - 6
        height: root.height - y - 6
        radius: 5
        from: root.accentColor
        to: root.accent2Color
        Column {
            x: 9
            y: 9
            spacing: 5
            Rectangle { width: canvas.width * 0.45; height: 5; radius: 2.5; color: Theme.light(0.7) }
            Rectangle { width: canvas.width * 0.3; height: 4; radius: 2; color: Theme.light(0.45) }
        }
        Rectangle {
            anchors.right: parent.right
            anchors.bottom: parent.bottom
            anchors.margins: 9
            width: canvas.width * 0.38
            height: canvas.height * 0.42
            radius: 4
            color: Theme.light(0.22)
        }
    }
}
