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
    height: 300
    minimumWidth: 420
    maximumWidth: 420
    minimumHeight: 300
    maximumHeight: 300
    color: Theme.background

    SettingsView {
        anchors.fill: parent
        onStoreWindowWanted: Shell.showStoreWindow()
    }
}
