import QtQuick
import QtQuick.Controls
import Vexlo.Components

// The store's push button in three weights: "prominent" (filled with the tint), "bordered" (outlined) and
// "plain" (text in the tint). Reachable with Tab; Return, Enter and Space press it.
AbstractButton {
    id: root
    property string kind: "prominent"
    property color tint: Theme.accent
    property string symbol: ""
    property real size: 12.4
    property bool small: false

    focusPolicy: Qt.StrongFocus
    hoverEnabled: true
    leftPadding: kind === "plain" ? 4 : (small ? 10 : 16)
    rightPadding: leftPadding
    topPadding: small ? 4 : 7
    bottomPadding: topPadding
    opacity: enabled ? 1 : 0.45
    Accessible.name: text

    Keys.onReturnPressed: if (enabled) clicked()
    Keys.onEnterPressed: if (enabled) clicked()

    background: Rectangle {
        radius: root.small ? 6 : 8
        color: root.kind === "prominent" ? (root.down ? Qt.darker(root.tint, 1.15) : root.tint)
             : root.kind === "bordered" && (root.hovered || root.down) ? Theme.cardHover
             : root.kind === "bordered" ? Theme.card : "transparent"
        border.width: root.kind === "bordered" ? 1 : 0
        border.color: Theme.hairline
    }
    contentItem: Row {
        spacing: 5
        SymbolIcon {
            visible: root.symbol !== ""
            name: root.symbol
            size: root.size
            color: label.color
            anchors.verticalCenter: parent.verticalCenter
        }
        StoreLabel {
            id: label
            text: root.text
            size: root.size
            font.weight: root.kind === "plain" ? Font.Normal : Font.DemiBold
            color: root.kind === "prominent" ? Theme.light(1) : root.kind === "plain" ? root.tint : Theme.text
            anchors.verticalCenter: parent.verticalCenter
        }
    }
}
