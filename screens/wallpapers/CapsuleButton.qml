import QtQuick
import QtQuick.Controls
import Vexlo.Components
import Vexlo.Wallpapers

// A small capsule button of the gallery: a label with an optional leading symbol.
AbstractButton {
    id: root
    Accessible.name: root.text
    property string symbol: ""
    // Filled with the accent colour (the selected collection chip).
    property bool filled: false
    property real textSize: 10.5

    hoverEnabled: true
    leftPadding: 10
    rightPadding: 10
    topPadding: 4
    bottomPadding: 4

    contentItem: Row {
        spacing: 4
        SymbolIcon {
            objectName: "capsuleSymbol"
            visible: root.symbol !== ""
            name: root.symbol
            size: root.textSize
            anchors.verticalCenter: parent.verticalCenter
            color: label.color
        }
        StoreLabel {
            id: label
            text: root.text
            size: root.textSize
            font.weight: Font.Medium
            color: root.filled ? Theme.light(1) : Theme.text
            anchors.verticalCenter: parent.verticalCenter
        }
    }
    background: Rectangle {
        radius: height / 2
        color: root.filled ? Theme.accent : (root.hovered ? Theme.cardHover : Theme.shade(0.05))
        border.width: root.filled ? 0 : 1
        border.color: Theme.hairline
    }
}
