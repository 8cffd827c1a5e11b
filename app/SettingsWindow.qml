import QtQuick
import Vexlo.Components
import Vexlo.Settings
import Vexlo.Window

// The settings window: the site address and the account, at the form's fixed size.
Window {
    id: settings
    objectName: "settings"
    title: "设置"
    width: 420
    height: 360
    minimumWidth: 420
    maximumWidth: 420
    minimumHeight: 360
    maximumHeight: 360
    color: Theme.background

    Shortcut {
        sequence: "Esc"
        onActivated: settings.close()
    }
    FocusRing {}

    SettingsView {
        anchors.fill: parent
        onStoreWindowWanted: Shell.showStoreWindow()
    }
}
