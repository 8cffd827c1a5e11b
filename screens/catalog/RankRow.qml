import QtQuick
import Vexlo.Components
import QtQuick.Controls
import Vexlo.Service
import Vexlo.Catalog

// One place of a chart: rank, icon, name and tagline, and the download count on the right.
AbstractButton {
    id: root
    Accessible.name: root.app ? root.app.name : ""
    property int index: 1
    property var app
    hoverEnabled: true
    leftPadding: 14
    rightPadding: 16
    topPadding: 9
    bottomPadding: 9
    implicitHeight: 58

    background: Item {
        Rectangle {
            anchors.fill: parent
            anchors.margins: 3
            radius: 8
            color: root.hovered ? Theme.cardHover : "transparent"
        }
    }

    contentItem: Item {
        StoreLabel {
            id: rank
            objectName: "rankNumber"
            width: 24
            anchors.verticalCenter: parent.verticalCenter
            horizontalAlignment: Text.AlignHCenter
            text: root.index
            size: 11
            font.bold: true
            color: root.index <= 3 ? Theme.accent : Theme.secondary
        }
        AppIconView {
            id: icon
            anchors.left: rank.right
            anchors.leftMargin: 10
            anchors.verticalCenter: parent.verticalCenter
            size: 38
            glyph: root.app ? root.app.glyph : ""
            accent: root.app ? root.app.accent : ""
            accent2: root.app ? root.app.accent2 : ""
        }
        Column {
            anchors.left: icon.right
            anchors.leftMargin: 12
            anchors.right: downloads.left
            anchors.rightMargin: 12
            anchors.verticalCenter: parent.verticalCenter
            spacing: 2
            StoreLabel {
                objectName: "rankName"
                width: parent.width
                text: root.app ? root.app.name : ""
                size: 12.4
                font.weight: Font.DemiBold
                elide: Text.ElideRight
            }
            StoreLabel {
                width: parent.width
                text: root.app ? root.app.tagline : ""
                size: 10.5
                color: Theme.secondary
                elide: Text.ElideRight
            }
        }
        Row {
            id: downloads
            anchors.right: parent.right
            anchors.verticalCenter: parent.verticalCenter
            spacing: 3
            SymbolIcon {
                name: "arrow.down"
                size: 10
                color: Theme.tertiary
                anchors.verticalCenter: parent.verticalCenter
            }
            StoreLabel {
                objectName: "rankDownloads"
                text: root.app ? Theme.compact(root.app.downloads) : ""
                size: 10.1
                color: Theme.secondary
                anchors.verticalCenter: parent.verticalCenter
            }
        }
    }
}
