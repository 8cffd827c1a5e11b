import QtQuick
import Vexlo.Service
import Vexlo.Components

// An app's icon: its glyph on a rounded square filled with the app's two-colour gradient.
Item {
    id: root
    property string glyph
    property string accent
    property string accent2
    property real size: 52
    property real radiusScale: 0.225
    readonly property string symbolName: Theme.glyph(glyph)

    implicitWidth: size
    implicitHeight: size
    width: size
    height: size

    // Coloured shadow below the square.
    Rectangle {
        x: 0
        y: root.size * 0.03 + root.size * 0.05
        width: root.size
        height: root.size
        radius: root.size * root.radiusScale
        color: Theme.color(root.accent)
        opacity: 0.22 * 0.5
        scale: 0.96
    }
    Rectangle {
        x: 0
        y: root.size * 0.03
        width: root.size
        height: root.size
        radius: root.size * root.radiusScale
        color: Theme.color(root.accent)
        opacity: 0.22
    }
    GradientBox {
        anchors.fill: parent
        radius: root.size * root.radiusScale
        from: Theme.color(root.accent)
        to: Theme.color(root.accent2)
    }
    Rectangle {
        anchors.fill: parent
        radius: root.size * root.radiusScale
        color: "transparent"
        border.width: 1
        border.color: Theme.light(0.16)
    }
    SymbolIcon {
        objectName: "appIconSymbol"
        anchors.centerIn: parent
        name: root.symbolName
        size: root.size * 0.45
        color: Theme.light(0.96)
    }
}
