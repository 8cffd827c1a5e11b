pragma ComponentBehavior: Bound
import QtQuick
import Vexlo.Components

// A soft drop shadow drawn as a few widening, fading rounded rectangles behind a card.
// Anchor it to the card (anchors.fill) and place it before the card.
Item {
    id: root
    property color color: "black"
    property real opacity0: 0.16
    property real blur: 12
    property real offsetY: 4
    property real radius: 12
    readonly property int layers: 6

    Repeater {
        model: root.layers
        Rectangle {
            required property int index
            readonly property real spread: root.blur * (index + 1) / root.layers
            x: -spread / 2
            y: root.offsetY - spread / 2
            width: root.width + spread
            height: root.height + spread
            radius: root.radius + spread / 2
            color: root.color
            opacity: root.opacity0 * 2 * (root.layers - index) / (root.layers * (root.layers + 1))
        }
    }
}
