import QtQuick
import Vexlo.Components
import Vexlo.MenuBar
import Vexlo.Window

// The quick search panel as a frameless popup: dropped from the tray icon, or opened from the "商店" menu and
// by `vexlo --quick-search`. It closes when it loses focus and when it sends the user to the store window.
Window {
    id: panel
    objectName: "trayPanel"
    width: 300
    height: view.implicitHeight
    flags: Qt.Tool | Qt.FramelessWindowHint | Qt.WindowStaysOnTopHint
    color: Theme.background
    onActiveChanged: if (!active) visible = false

    MenuExtraView {
        id: view
        anchors.fill: parent
        onStoreWindowWanted: {
            panel.visible = false
            Shell.showStoreWindow()
        }
    }
}
