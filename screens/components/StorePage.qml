import QtQuick
import QtQuick.Controls
import Vexlo.Components

// A scrolling store page on the page background; its children stack in one column inside the margins.
Item {
    id: root
    default property alias content: column.data
    property real sideMargin: 26
    property real topMargin: 22
    property real bottomMargin: 34
    property alias spacing: column.spacing
    readonly property real contentWidth: column.width
    property alias flickable: flick

    Rectangle {
        anchors.fill: parent
        color: Theme.background
    }

    Flickable {
        id: flick
        anchors.fill: parent
        contentWidth: width
        contentHeight: column.implicitHeight + root.topMargin + root.bottomMargin
        boundsBehavior: Flickable.StopAtBounds
        clip: true
        ScrollBar.vertical: ScrollBar { policy: ScrollBar.AsNeeded }

        Column {
            id: column
            x: root.sideMargin
            y: root.topMargin
            width: Math.max(0, root.width - 2 * root.sideMargin)
            spacing: 26
        }
    }
}
