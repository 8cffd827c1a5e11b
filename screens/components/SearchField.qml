import QtQuick
import Vexlo.Service
import QtQuick.Controls
import QtQuick.Layouts
import Vexlo.Store
import Vexlo.Components

// The sidebar's search field, showing the store's search text. Return runs the search; emptying the text
// (typing it away or the clear button) removes the results.
TextField {
    id: root
    objectName: "searchField"

    text: Store.searchText
    placeholderText: "搜索软件、壁纸与文章"
    font.pixelSize: 13
    leftPadding: 28
    rightPadding: clearButton.visible ? 26 : 8
    selectByMouse: true

    onTextEdited: Navigator.editSearch(text)
    onAccepted: Navigator.search()

    background: Rectangle {
        implicitHeight: 28
        radius: 7
        color: Theme.shade(0.05)
        border.width: root.activeFocus ? 2 : 0
        border.color: Theme.tint(Theme.accent, 0.5)
    }

    SymbolIcon {
        anchors.left: parent.left
        anchors.leftMargin: 8
        anchors.verticalCenter: parent.verticalCenter
        name: "magnifyingglass"
        size: 15
        color: Theme.muted
    }

    ToolButton {
        id: clearButton
        objectName: "searchClear"
        visible: root.text !== ""
        anchors.right: parent.right
        anchors.verticalCenter: parent.verticalCenter
        width: 24
        height: 24
        flat: true
        contentItem: SymbolIcon {
            name: "xmark"
            size: 14
            color: Theme.faint
        }
        background: null
        onClicked: Navigator.clearSearch()
    }
}
