pragma ComponentBehavior: Bound
import QtQuick
import Vexlo.Components
import Vexlo.Service
import QtQuick.Controls
import Vexlo.Store
import Vexlo.Window

// The store's transient message, as a capsule at the bottom centre of the content area. It rises from the
// bottom edge and fades in, and sinks and fades out when the message clears; how long it stays is the
// store's business.
Item {
    id: root
    objectName: "toastOverlay"

    readonly property bool showing: Store.toast !== ""
    // Keeps the last text while the capsule leaves, so it does not empty before it is gone.
    property string shownText: ""

    Connections {
        target: Store
        function onToastChanged() {
            if (Store.toast !== "")
                root.shownText = Store.toast
        }
    }
    Component.onCompleted: if (Store.toast !== "") shownText = Store.toast

    Item {
        id: capsule
        objectName: "toastCapsule"
        width: label.implicitWidth + 28
        height: label.implicitHeight + 16
        x: (root.width - width) / 2
        y: root.showing ? root.height - height - 18 : root.height + 8
        opacity: root.showing ? 1 : 0
        visible: opacity > 0

        Behavior on y {
            SpringAnimation { spring: 5.5; damping: 0.42; epsilon: 0.5 }
        }
        Behavior on opacity {
            NumberAnimation { duration: 260; easing.type: Easing.OutCubic }
        }

        // A soft shadow below the capsule: three widening rings of black at falling strength.
        Repeater {
            model: 3
            Rectangle {
                required property int index
                x: -(index + 1) * 2
                y: 4 - (index + 1) * 2 + 2
                width: capsule.width + (index + 1) * 4
                height: capsule.height + (index + 1) * 4
                radius: height / 2
                color: Theme.shade(0.05 - index * 0.012)
            }
        }
        Rectangle {
            anchors.fill: parent
            radius: height / 2
            color: Theme.toastFill
            border.width: 1
            border.color: Theme.hairline
        }
        Label {
            id: label
            objectName: "toastText"
            anchors.centerIn: parent
            text: root.shownText
            font.pixelSize: Math.round(12.4)
            font.weight: Font.Medium
            color: Theme.ink
        }
    }
}
