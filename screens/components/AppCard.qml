import QtQuick
import QtQuick.Controls
import Vexlo.Service
import Vexlo.Components

// A catalogue app as a bordered card: icon, name, tagline, the sponsor badge and the download count.
AbstractButton {
    id: root
    Accessible.name: root.app ? root.app.name : ""
    property var app
    hoverEnabled: true
    padding: 14
    implicitWidth: 220
    implicitHeight: content.implicitHeight + topPadding + bottomPadding

    background: CardFrame {
        radius: 12
        hovered: root.hovered
    }

    contentItem: Column {
        id: content
        spacing: 10

        Row {
            width: parent.width
            spacing: 11
            AppIconView {
                id: icon
                size: 46
                glyph: root.app ? root.app.glyph : ""
                accent: root.app ? root.app.accent : ""
                accent2: root.app ? root.app.accent2 : ""
            }
            Column {
                width: parent.width - icon.width - parent.spacing
                anchors.verticalCenter: icon.verticalCenter
                spacing: 4
                StoreLabel {
                    objectName: "appCardName"
                    width: parent.width
                    text: root.app ? root.app.name : ""
                    size: 13.4
                    font.weight: Font.DemiBold
                    elide: Text.ElideRight
                }
                Rectangle {
                    objectName: "appCardSponsorBadge"
                    visible: root.app ? !root.app.isFree : false
                    width: badgeText.implicitWidth + 10
                    height: badgeText.implicitHeight + 2
                    radius: height / 2
                    color: Theme.tint(Theme.accent, 0.12)
                    StoreLabel {
                        id: badgeText
                        anchors.centerIn: parent
                        text: "赞助"
                        size: 9.6
                        font.weight: Font.DemiBold
                        color: Theme.accent
                    }
                }
            }
        }
        StoreLabel {
            objectName: "appCardTagline"
            width: parent.width
            height: Math.ceil(fontMetrics.height * 2) + 2
            text: root.app ? root.app.tagline : ""
            size: 11
            color: Theme.secondary
            wrapMode: Text.Wrap
            maximumLineCount: 2
            elide: Text.ElideRight
            FontMetrics { id: fontMetrics; font.family: Theme.fontFamily; font.pixelSize: 11 }
        }
        Row {
            spacing: 3
            SymbolIcon {
                name: "arrow.down"
                size: 11
                color: Theme.tertiary
                anchors.verticalCenter: parent.verticalCenter
            }
            StoreLabel {
                objectName: "appCardDownloads"
                text: root.app ? Theme.compact(root.app.downloads) : ""
                size: 10.1
                color: Theme.secondary
                anchors.verticalCenter: parent.verticalCenter
            }
        }
    }
}
