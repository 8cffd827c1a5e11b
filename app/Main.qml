import QtQuick
import QtQuick.Controls
import Vexlo.Components
import Vexlo.Window

// The main store window: one of it for the whole run, with the "商店" menu.
ApplicationWindow {
    id: window
    objectName: "store"
    title: "Vexlo工具箱"
    width: 1180
    height: 780
    minimumWidth: 980
    minimumHeight: 640
    visible: true
    font.family: Theme.fontFamily
    readonly property string pageName: content.pageName

    // On macOS the "商店" menu and Command-, live in the system's menu bar (GlobalMenuBar); elsewhere in the window.
    readonly property bool systemMenuBar: Qt.platform.os === "osx"
    readonly property StoreMenuBar inWindowMenuBar: StoreMenuBar {
        storeWindow: content
    }
    menuBar: systemMenuBar ? null : inWindowMenuBar

    StoreWindow {
        id: content
        anchors.fill: parent
    }
}
