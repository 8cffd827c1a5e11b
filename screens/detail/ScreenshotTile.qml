pragma ComponentBehavior: Bound
import QtQuick
import Vexlo.Components

// A drawn preview of the app in its own colours (no image files): a window with a title bar whose content is
// a list (index 0), a grid of cards (1) or a detail layout (2), captioned accordingly.
Column {
    id: root
    property var app
    required property int index
    readonly property color tint: Theme.color(app ? app.accent : "")
    readonly property color tint2: Theme.color(app ? app.accent2 : "")
    spacing: 6

    Rectangle {
        id: frame
        width: root.width
        height: Math.round(root.width * 0.62)
        radius: 10
        color: Theme.card
        border.width: 1
        border.color: Theme.hairline
        clip: true

        // Title bar: three window buttons and the app's name bar.
        Rectangle {
            id: titleBar
            x: 1; y: 1
            width: parent.width - 2
            height: 18
            radius: 9
            color: Theme.background
            Row {
                x: 8
                anchors.verticalCenter: parent.verticalCenter
                spacing: 4
                Repeater {
                    model: 3
                    Rectangle { width: 6; height: 6; radius: 3; color: Theme.hairline }
                }
            }
            Rectangle {
                anchors.centerIn: parent
                width: parent.width * 0.3
                height: 5
                radius: 2.5
                color: root.tint
                opacity: 0.5
            }
        }

        Item {
            id: body
            anchors { left: parent.left; right: parent.right; top: titleBar.bottom; bottom: parent.bottom }
            anchors.margins: 8

            // 0: a list of rows with a sidebar.
            Row {
                visible: root.index === 0
                anchors.fill: parent
                spacing: 6
                Rectangle {
                    width: body.width * 0.24
                    height: body.height
                    radius: 4
                    color: root.tint
                    opacity: 0.16
                }
                Column {
                    width: body.width * 0.76 - 6
                    spacing: 5
                    Repeater {
                        model: 5
                        Row {
                            id: line
                            required property int index
                            spacing: 5
                            Rectangle { width: 9; height: 9; radius: 3; color: line.index % 2 ? root.tint2 : root.tint }
                            Rectangle {
                                width: (body.width * 0.76 - 20) * (0.9 - 0.12 * (line.index % 3))
                                height: 9
                                radius: 3
                                color: Theme.hairline
                            }
                        }
                    }
                }
            }

            // 1: a grid of cards.
            Grid {
                visible: root.index === 1
                anchors.fill: parent
                columns: 3
                spacing: 6
                Repeater {
                    model: 6
                    Rectangle {
                        id: card
                        required property int index
                        width: (body.width - 12) / 3
                        height: (body.height - 6) / 2
                        radius: 5
                        gradient: Gradient {
                            GradientStop { position: 0; color: card.index % 2 ? root.tint2 : root.tint }
                            GradientStop { position: 1; color: Theme.card }
                        }
                        opacity: 0.55
                    }
                }
            }

            // 2: a detail layout: a large panel beside lines of text.
            Row {
                visible: root.index === 2
                anchors.fill: parent
                spacing: 8
                Rectangle {
                    width: body.width * 0.45
                    height: body.height
                    radius: 6
                    gradient: Gradient {
                        GradientStop { position: 0; color: root.tint }
                        GradientStop { position: 1; color: root.tint2 }
                    }
                }
                Column {
                    width: body.width * 0.55 - 8
                    spacing: 6
                    Rectangle { width: parent.width * 0.8; height: 10; radius: 3; color: root.tint; opacity: 0.6 }
                    Repeater {
                        model: 4
                        Rectangle {
                            required property int index
                            width: parent.width * (1 - 0.15 * index)
                            height: 6
                            radius: 3
                            color: Theme.hairline
                        }
                    }
                }
            }
        }
    }

    StoreLabel {
        objectName: "screenshotCaption"
        anchors.horizontalCenter: parent.horizontalCenter
        text: ["列表", "卡片", "详情"][root.index] || ""
        size: 10.6
        color: Theme.secondary
    }
}
