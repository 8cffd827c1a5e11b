import QtQuick
import Vexlo.Components

// Stands in for a page whose screen is not built yet, so routing can already reach it.
Item {
    id: root
    property string title: ""
    objectName: "placeholderPage"

    Column {
        anchors.centerIn: parent
        spacing: 8
        StoreLabel {
            objectName: "placeholderTitle"
            anchors.horizontalCenter: parent.horizontalCenter
            text: root.title
            size: 22
            font.weight: Font.DemiBold
            color: Theme.secondary
        }
        StoreLabel {
            anchors.horizontalCenter: parent.horizontalCenter
            text: "此页面即将上线"
            size: 12
            color: Theme.tertiary
        }
    }
}
