pragma ComponentBehavior: Bound
import QtQuick
import Vexlo.Components

// Five stars for a rating (full, half or empty each), optionally followed by the rating as "%.1f".
Row {
    id: root
    property real rating: 0
    property real size: 10
    property bool showNumber: false
    spacing: 2

    Repeater {
        model: 5
        SymbolIcon {
            required property int index
            objectName: "star" + index
            name: PageText.starSymbol(root.rating, index)
            size: root.size
            color: Theme.star
            anchors.verticalCenter: parent.verticalCenter
        }
    }
    StoreLabel {
        objectName: "starNumber"
        visible: root.showNumber
        text: PageText.oneDecimal(root.rating)
        size: root.size + 1
        color: Theme.secondary
        anchors.verticalCenter: parent.verticalCenter
        leftPadding: 2
    }
}
