pragma ComponentBehavior: Bound
import QtQuick
import Vexlo.Components
import QtQuick.Controls
import Vexlo.Service
import Vexlo.Catalog

// The featured app at the top of the discover page, on its own gradient with a miniature window.
AbstractButton {
    id: root
    Accessible.name: "今日精选：" + (root.app ? root.app.name : "")
    property var app
    hoverEnabled: true
    implicitHeight: Math.max(left.implicitHeight + 48, 210)

    background: Item {
        SoftShadow {
            anchors.fill: parent
            radius: 20
            color: Theme.color(root.app ? root.app.accent : "")
            opacity0: root.hovered ? 0.5 : 0.35
            blur: 18
            offsetY: 6
        }
        GradientBox {
            anchors.fill: parent
            radius: 20
            from: Theme.color(root.app ? root.app.accent : "")
            to: Theme.color(root.app ? root.app.accent2 : "")
        }
        // A faint light from the top-left keeps white text readable on light accents.
        Rectangle {
            anchors.fill: parent
            radius: 20
            color: "black"
            opacity: 0.08
        }
    }

    contentItem: Item {
        Column {
            id: left
            x: 26
            anchors.verticalCenter: parent.verticalCenter
            width: parent.width - x - (mini.visible ? mini.width + 40 : 26)
            spacing: 8

            Rectangle {
                width: badge.implicitWidth + 16
                height: badge.implicitHeight + 5
                radius: height / 2
                color: Theme.light(0.2)
                border.width: 1
                border.color: Theme.light(0.3)
                StoreLabel {
                    id: badge
                    anchors.centerIn: parent
                    text: "今日精选"
                    size: 10.1
                    font.weight: Font.DemiBold
                    color: "white"
                }
            }
            Row {
                spacing: 14
                AppIconView {
                    id: icon
                    size: 62
                    glyph: root.app ? root.app.glyph : ""
                    accent: root.app ? root.app.accent : ""
                    accent2: root.app ? root.app.accent2 : ""
                }
                Column {
                    anchors.verticalCenter: icon.verticalCenter
                    spacing: 3
                    width: left.width - icon.width - 14
                    StoreLabel {
                        objectName: "heroName"
                        width: parent.width
                        text: root.app ? root.app.name : ""
                        size: 21.6
                        font.bold: true
                        color: "white"
                        elide: Text.ElideRight
                    }
                    StoreLabel {
                        objectName: "heroTagline"
                        width: parent.width
                        text: root.app ? root.app.tagline : ""
                        size: 12.4
                        color: Theme.light(0.72)
                        wrapMode: Text.Wrap
                        maximumLineCount: 2
                        elide: Text.ElideRight
                    }
                }
            }
            Row {
                spacing: 6
                Repeater {
                    model: root.app
                           ? (root.app.isFree ? [] : ["赞助解锁"]).concat([root.app.archLabel + " · " + root.app.size])
                           : []
                    Rectangle {
                        id: heroChip
                        required property string modelData
                        objectName: "heroChip"
                        property string label: modelData
                        width: chip.implicitWidth + 14
                        height: chip.implicitHeight + 4
                        radius: height / 2
                        color: Theme.light(0.16)
                        StoreLabel {
                            id: chip
                            anchors.centerIn: parent
                            text: heroChip.modelData
                            size: 10.1
                            color: Theme.light(0.82)
                        }
                    }
                }
            }
            Row {
                spacing: 5
                SymbolIcon {
                    name: "star.fill"
                    size: 10
                    color: "white"
                    anchors.verticalCenter: parent.verticalCenter
                }
                StoreLabel {
                    objectName: "heroRating"
                    text: root.app ? PageText.oneDecimal(root.app.rating) + " · " + root.app.ratingCount + " 个评价" : ""
                    size: 9.6
                    color: "white"
                    anchors.verticalCenter: parent.verticalCenter
                }
            }
        }

        Item {
            id: mini
            visible: root.width >= 620
            width: 268
            height: 158
            anchors.right: parent.right
            anchors.rightMargin: 28
            anchors.verticalCenter: parent.verticalCenter
            SoftShadow {
                anchors.fill: miniWindow
                radius: 9
                opacity0: 0.25
                blur: 18
                offsetY: 8
            }
            MiniWindow {
                id: miniWindow
                app: root.app
                width: parent.width
                height: 132
                anchors.centerIn: parent
            }
        }
    }
}
