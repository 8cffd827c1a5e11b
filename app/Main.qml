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

    menuBar: StoreMenuBar {
        storeWindow: content
    }

    // The settings shortcut: the platform's own on macOS (Command-,), Ctrl+, elsewhere. (qmllint of Qt 6.4 does not
    // resolve the StandardKey enumeration QtQuick exports.)
    Shortcut {
        sequences: Qt.platform.os === "osx" ? [StandardKey.Preferences] : ["Ctrl+,"] // qmllint disable unqualified
        onActivated: Shell.showSettings()
    }

    StoreWindow {
        id: content
        anchors.fill: parent
    }
}
