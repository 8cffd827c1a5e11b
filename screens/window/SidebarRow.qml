import QtQuick
import Vexlo.Components
import Vexlo.Service
import QtQuick.Controls
import QtQuick.Layouts
import Vexlo.Window

// One row of the sidebar list: a symbol and a title, drawn selected when its section is shown.
ItemDelegate {
    id: root

    property string symbol: ""
    property color symbolColor: Theme.accent
    property real symbolSize: 15
    property bool selected: false
    // Category rows show their selection in the accent colour.
    property bool accentSelection: false
    property string trailing: ""

    implicitHeight: 26
    leftPadding: 10
    rightPadding: 10
    topPadding: 0
    bottomPadding: 0
    hoverEnabled: true
    // In the Tab order; the arrow keys move between the rows, Return and Space choose one.
    focusPolicy: Qt.StrongFocus
    Keys.onReturnPressed: clicked()
    Keys.onEnterPressed: clicked()
    Keys.onDownPressed: step(true)
    Keys.onUpPressed: step(false)

    function step(forward) {
        const next = root.nextItemInFocusChain(forward) as SidebarRow
        if (next)
            next.forceActiveFocus(forward ? Qt.TabFocusReason : Qt.BacktabFocusReason)
    }

    background: Rectangle {
        radius: 6
        color: root.selected && root.accentSelection ? Theme.tint(Theme.accent, 0.12)
             : root.selected ? Theme.shade(0.09) : root.hovered ? Theme.shade(0.04) : "transparent"
    }

    contentItem: RowLayout {
        spacing: 7
        SymbolIcon {
            Layout.preferredWidth: 16
            name: root.symbol
            size: root.symbolSize
            color: root.symbolColor
        }
        Label {
            Layout.fillWidth: true
            text: root.text
            elide: Text.ElideRight
            font.pixelSize: 13
            font.weight: root.selected ? Font.DemiBold : Font.Normal
            color: root.selected && root.accentSelection ? Theme.accent : Theme.text
        }
        Label {
            visible: root.trailing !== ""
            text: root.trailing
            font.pixelSize: 10
            color: Theme.faint
        }
    }
}
