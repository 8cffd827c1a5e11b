import QtQuick
import QtQuick.Controls
import Vexlo.Components

// A button of the software manager: a symbol and a title in `tint`; `prominent` fills it with the tint,
// otherwise it is outlined.
AbstractButton {
    id: control
    property string symbol: ""
    property color tint: Theme.accent
    property bool prominent: false

    implicitHeight: 26
    implicitWidth: content.implicitWidth + 22
    opacity: enabled ? 1 : 0.45
    hoverEnabled: true
    Accessible.name: control.text

    contentItem: Item {
        Row {
            id: content
            anchors.centerIn: parent
            spacing: 4
            SymbolIcon {
                visible: control.symbol !== ""
                name: control.symbol
                size: 13
                anchors.verticalCenter: parent.verticalCenter
                color: control.prominent ? Theme.card : control.tint
            }
            StoreLabel {
                text: control.text
                size: 12
                font.weight: Font.Medium
                anchors.verticalCenter: parent.verticalCenter
                color: control.prominent ? Theme.card : control.tint
            }
        }
    }
    background: Rectangle {
        radius: 6
        color: control.prominent ? (control.down ? Qt.darker(control.tint, 1.15) : control.tint)
                                 : (control.down ? Theme.tint(control.tint, 0.16)
                                                 : control.hovered ? Theme.tint(control.tint, 0.08) : Theme.card)
        border.width: control.prominent ? 0 : 1
        border.color: control.prominent ? "transparent" : Theme.tint(control.tint, 0.35)
    }
}
