import QtQuick
import QtQuick.Controls
import Vexlo.Components

// A store page whose main list is a virtualised view: only the rows in sight have delegates. What sits above the
// list (`above`) and below it (`below`) scrolls with it; background, margins, spacing and scroll bar are
// StorePage's. `grid` lays the delegates out like AppGrid (three columns, 14 apart); otherwise one per row,
// `rowSpacing` apart.
Item {
    id: root
    property alias model: view.model
    property alias delegate: view.delegate
    property Component above
    property Component below
    property bool grid: true
    property real rowSpacing: 8
    // The height of one delegate (without spacing); grid delegates report it through `cardHeight`.
    property real rowHeight: 64
    property real cardHeight: 0
    readonly property real sideMargin: 26
    readonly property real topMargin: 22
    readonly property real bottomMargin: 34
    readonly property real sectionSpacing: 26
    readonly property real contentWidth: Math.max(0, width - 2 * sideMargin)
    readonly property real cardWidth: Math.floor((contentWidth - 2 * 14) / 3)
    readonly property int count: view.count
    property alias flickable: view

    Rectangle {
        anchors.fill: parent
        color: Theme.background
    }

    GridView {
        id: view
        x: root.sideMargin
        // One spacing wider than the content, so the third card's cell (card plus spacing) fits.
        width: root.grid ? root.contentWidth + 14 : root.contentWidth
        height: root.height
        cellWidth: root.grid ? root.cardWidth + 14 : root.contentWidth
        cellHeight: root.grid ? Math.max(1, root.cardHeight) + 14 : root.rowHeight + root.rowSpacing
        boundsBehavior: Flickable.StopAtBounds
        clip: true
        reuseItems: true
        ScrollBar.vertical: ScrollBar {
            parent: root
            anchors.top: parent.top
            anchors.right: parent.right
            anchors.bottom: parent.bottom
            policy: ScrollBar.AsNeeded
        }

        // Qt 6.4 creates no bound component in a ListView header or footer or in a Loader, so this file cannot use
        // "pragma ComponentBehavior: Bound", and qmllint takes ids used inside the components below as unqualified.
        // qmllint disable unqualified
        header: Item {
            width: root.contentWidth
            height: root.topMargin + (topLoader.item ? (topLoader.item as Item).height + (view.count > 0 ? root.sectionSpacing : 0) : 0)
            Loader {
                id: topLoader
                y: root.topMargin
                width: root.contentWidth
                sourceComponent: root.above
            }
        }
        footer: Item {
            width: root.contentWidth
            // The last row's spacing stands in for part of the gap above the footer.
            readonly property real gap: view.count > 0 ? (root.grid ? 14 : root.rowSpacing) : 0
            height: (bottomLoader.item && (bottomLoader.item as Item).visible ? root.sectionSpacing - gap + (bottomLoader.item as Item).height : -gap)
                    + root.bottomMargin
            Loader {
                id: bottomLoader
                y: root.sectionSpacing - parent.gap
                width: root.contentWidth
                sourceComponent: root.below
            }
        }
        // qmllint enable unqualified
    }
}
