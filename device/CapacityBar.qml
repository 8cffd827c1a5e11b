import QtQuick

import QtQuick.Layouts
import Vexlo.Components

// A capacity bar card: title, the figure, the filled share and a caption; "—" when the rows are missing.
CardFrame {
    id: card
    property string title
    property var bar: ({})
    property color fill: Theme.accent
    implicitHeight: 92

    ColumnLayout {
        anchors { fill: parent; margins: 14; leftMargin: 18; rightMargin: 18 }
        spacing: 6
        RowLayout {
            StoreLabel { text: card.title; color: Theme.secondary }
            Item { Layout.fillWidth: true }
            StoreLabel {
                objectName: "barText"
                text: card.bar.text || ""
                size: 16
                font.bold: true
            }
        }
        Rectangle {
            Layout.fillWidth: true
            height: 8
            radius: 4
            color: Theme.hairline
            Rectangle {
                objectName: "barFill"
                visible: card.bar.available === true
                width: parent.width * (card.bar.share || 0)
                height: parent.height
                radius: 4
                color: card.fill
            }
        }
        StoreLabel {
            objectName: "barCaption"
            text: card.bar.caption || ""
            size: 11.5
            color: Theme.secondary
        }
    }
}
