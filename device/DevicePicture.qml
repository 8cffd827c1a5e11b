import QtQuick

import Vexlo.Components

// A drawing of the machine by kind: "laptop", "desktop" (a small box) or "allInOne" (a screen on a stand).
Item {
    id: picture
    property string kind: "laptop"
    objectName: "devicePicture_" + kind

    // Laptop: lid with screen, thin base.
    Item {
        anchors.fill: parent
        visible: picture.kind === "laptop"
        Rectangle {
            x: parent.width * 0.12
            y: parent.height * 0.08
            width: parent.width * 0.76
            height: parent.height * 0.66
            radius: 6
            color: Theme.secondary
            Rectangle {
                anchors { fill: parent; margins: 4 }
                radius: 3
                gradient: Gradient {
                    GradientStop { position: 0; color: Theme.accent }
                    GradientStop { position: 1; color: Qt.darker(Theme.accent, 1.8) }
                }
            }
        }
        Rectangle {
            x: 0
            y: parent.height * 0.76
            width: parent.width
            height: parent.height * 0.08
            radius: 3
            color: Theme.secondary
        }
    }
    // Desktop: a flat box with a status light.
    Rectangle {
        visible: picture.kind === "desktop"
        x: parent.width * 0.08
        y: parent.height * 0.5
        width: parent.width * 0.84
        height: parent.height * 0.3
        radius: 10
        color: Theme.secondary
        Rectangle {
            anchors { right: parent.right; rightMargin: 12; verticalCenter: parent.verticalCenter }
            width: 5
            height: 5
            radius: 2.5
            color: Theme.good
        }
    }
    // All-in-one: screen with chin, stand and foot.
    Item {
        anchors.fill: parent
        visible: picture.kind === "allInOne"
        Rectangle {
            x: parent.width * 0.1
            y: 0
            width: parent.width * 0.8
            height: parent.height * 0.7
            radius: 6
            color: Theme.secondary
            Rectangle {
                anchors { left: parent.left; right: parent.right; top: parent.top; margins: 4 }
                height: parent.height * 0.78
                radius: 3
                gradient: Gradient {
                    GradientStop { position: 0; color: Theme.accent }
                    GradientStop { position: 1; color: Qt.darker(Theme.accent, 1.8) }
                }
            }
        }
        Rectangle {
            x: parent.width * 0.42
            y: parent.height * 0.7
            width: parent.width * 0.16
            height: parent.height * 0.2
            color: Theme.secondary
        }
        Rectangle {
            x: parent.width * 0.32
            y: parent.height * 0.9
            width: parent.width * 0.36
            height: parent.height * 0.05
            radius: 2
            color: Theme.secondary
        }
    }
}
