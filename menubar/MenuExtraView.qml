pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Vexlo.Components
import Vexlo.MenuBar

// The quick search panel, 300 wide: header with the member's status, the search field (Return searches),
// the newest apps or the hits, and the ways into the store window.
Rectangle {
    id: root
    objectName: "menuExtraView"
    width: 300
    implicitWidth: 300
    implicitHeight: column.implicitHeight
    color: Theme.background

    readonly property alias search: quick
    // The store window should come forward (a row, "打开 Vexlo 工具箱", "赞助会员" or "壁纸" was pressed).
    signal storeWindowWanted()

    function focusSearch() {
        field.forceActiveFocus()
    }

    // Loads the home payload the first time the panel shows before the window did.
    readonly property bool onScreen: Window.window !== null && Window.window.visible
    onOnScreenChanged: if (onScreen) quick.shown()
    Component.onCompleted: if (onScreen) quick.shown()

    QuickSearch {
        id: quick
        onStoreWindowRequested: root.storeWindowWanted()
    }

    ColumnLayout {
        id: column
        width: parent.width
        spacing: 0

        MenuExtraHeader {
            search: quick
            Layout.fillWidth: true
            Layout.leftMargin: 12
            Layout.rightMargin: 12
            Layout.topMargin: 8
            Layout.bottomMargin: 8
        }

        RowLayout {
            Layout.fillWidth: true
            Layout.leftMargin: 12
            Layout.rightMargin: 12
            Layout.topMargin: 8
            Layout.bottomMargin: 8
            spacing: 6
            SymbolIcon { name: "magnifyingglass"; size: 11; color: Theme.secondary }
            TextField {
                id: field
                objectName: "quickSearchField"
                Layout.fillWidth: true
                placeholderText: "搜索软件…"
                font.pixelSize: Math.round(12.4)
                font.family: Theme.fontFamily
                background: null
                padding: 0
                selectByMouse: true
                focus: true
                text: quick.query
                onTextEdited: quick.query = text
                onAccepted: quick.submit()
            }
            BusyIndicator {
                objectName: "quickSearchSpinner"
                visible: quick.searching
                running: quick.searching
                padding: 0
                Layout.preferredWidth: 14
                Layout.preferredHeight: 14
            }
        }

        Rectangle {
            Layout.fillWidth: true
            Layout.preferredHeight: 1
            color: Theme.hairline
            opacity: 0.6
        }

        Flickable {
            id: results
            objectName: "resultArea"
            Layout.fillWidth: true
            Layout.preferredHeight: Math.min(250, resultColumn.implicitHeight)
            contentHeight: resultColumn.implicitHeight
            boundsBehavior: Flickable.StopAtBounds
            clip: true
            ScrollBar.vertical: ScrollBar { policy: ScrollBar.AsNeeded }

            Column {
                id: resultColumn
                width: results.width

                StoreLabel {
                    objectName: "latestHeading"
                    visible: quick.area === "latest"
                    x: 12
                    topPadding: 7
                    bottomPadding: 3
                    text: "最近上架"
                    size: 9.6
                    font.weight: Font.DemiBold
                    font.letterSpacing: 0.4
                    color: Theme.tertiary
                }
                StoreLabel {
                    objectName: "notFoundText"
                    visible: quick.area === "notFound"
                    width: parent.width
                    padding: 20
                    horizontalAlignment: Text.AlignHCenter
                    wrapMode: Text.Wrap
                    text: "没有找到「" + quick.query + "」"
                    size: 11.5
                    color: Theme.secondary
                }
                Repeater {
                    objectName: "resultRows"
                    model: quick.rows
                    MenuExtraRow {
                        width: resultColumn.width
                        onClicked: quick.openStore("", slug)
                    }
                }
            }
        }

        Rectangle {
            Layout.fillWidth: true
            Layout.preferredHeight: 1
            color: Theme.hairline
        }

        MenuExtraFooter {
            search: quick
            Layout.fillWidth: true
            Layout.leftMargin: 10
            Layout.rightMargin: 10
            Layout.topMargin: 8
            Layout.bottomMargin: 8
        }
    }
}
