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

    // On macOS the "商店" menu and Command-, live in the system's menu bar (GlobalMenuBar); elsewhere the menu
    // opens from the window's toolbar, so the content keeps the window's whole height.
    readonly property bool systemMenuBar: Qt.platform.os === "osx"

    StoreWindow {
        id: content
        anchors.fill: parent
        menuInToolbar: !window.systemMenuBar
    }
}
