import QtQuick

import QtQuick.Controls
import Vexlo.Components

// A button of the device page: an optional symbol and a title; `prominent` fills it with the accent colour,
// `flat` drops the outline.
AbstractButton {
    id: control
    property string symbol: ""
    property bool prominent: false
    property bool flat: false

    implicitHeight: 30
    implicitWidth: content.implicitWidth + (flat ? 12 : 26)
    opacity: enabled ? 1 : 0.45
    hoverEnabled: true

    contentItem: Item {
        Row {
            id: content
            anchors.centerIn: parent
            spacing: 5
            SymbolIcon {
                visible: control.symbol !== ""
                name: control.symbol
                size: 14
                anchors.verticalCenter: parent.verticalCenter
                color: control.prominent ? Theme.card : Theme.accent
            }
            StoreLabel {
                text: control.text
                size: 12.5
                font.weight: Font.DemiBold
                anchors.verticalCenter: parent.verticalCenter
                color: control.prominent ? Theme.card : control.flat ? Theme.accent : Theme.text
            }
        }
    }
    background: Rectangle {
        radius: 7
        color: control.prominent ? (control.down ? Qt.darker(Theme.accent, 1.15) : Theme.accent)
                                 : control.flat ? "transparent"
                                                : (control.hovered ? Theme.cardHover : Theme.card)
        border.width: control.prominent || control.flat ? 0 : 1
        border.color: Theme.hairline
    }
}
