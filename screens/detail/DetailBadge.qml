import QtQuick
import Vexlo.Components

// A short label in a capsule tinted with its colour.
Item {
    id: root
    property string text
    property color tint: Theme.accent

    implicitWidth: label.implicitWidth + 14
    implicitHeight: label.implicitHeight + 4

    Rectangle {
        anchors.fill: parent
        radius: height / 2
        color: root.tint
        opacity: 0.14
    }
    StoreLabel {
        id: label
        objectName: "badgeText"
        anchors.centerIn: parent
        text: root.text
        size: 10.1
        font.weight: Font.DemiBold
        color: root.tint
    }
}
