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
    // The search field takes the keys as soon as the panel shows, whether or not the window system activates it.
    onVisibleChanged: if (visible) view.focusSearch()

    MenuExtraView {
        id: view
        anchors.fill: parent
        onStoreWindowWanted: {
            panel.visible = false
            Shell.showStoreWindow()
        }
    }
    // A frame, so the panel stands apart from a white page behind it.
    Rectangle {
        anchors.fill: parent
        color: "transparent"
        border.width: 1
        border.color: Theme.hairline
    }
    FocusRing {}
}
