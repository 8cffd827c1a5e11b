import QtQuick
import Vexlo.Components

// One review: the reviewer's initial on a round avatar, name, stars, date and text.
Row {
    id: root
    required property string nickname
    required property string initial
    required property int rating
    required property string date
    required property string content
    spacing: 10

    Rectangle {
        width: 30
        height: 30
        radius: 15
        color: Theme.accent
        StoreLabel {
            objectName: "reviewInitial"
            anchors.centerIn: parent
            text: root.initial
            size: 12.4
            font.weight: Font.DemiBold
            color: Theme.light(1)
        }
    }
    Column {
        width: root.width - 40
        spacing: 3
        Row {
            spacing: 8
            StoreLabel {
                objectName: "reviewName"
                text: root.nickname
                size: 11.5
                font.weight: Font.DemiBold
                anchors.verticalCenter: parent.verticalCenter
            }
            StarRow {
                rating: root.rating
                size: 9
                anchors.verticalCenter: parent.verticalCenter
            }
            StoreLabel {
                objectName: "reviewDate"
                text: root.date
                size: 10.1
                color: Theme.tertiary
                anchors.verticalCenter: parent.verticalCenter
            }
        }
        StoreLabel {
            objectName: "reviewContent"
            width: parent.width
            text: root.content
            size: 12
            wrapMode: Text.Wrap
        }
    }
}
