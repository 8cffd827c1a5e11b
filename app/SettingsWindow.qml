import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Vexlo.Components

// The settings window. The site address setting arrives with its own feature; for now it shows where the
// store is reached.
Window {
    id: settings
    objectName: "settings"
    title: "设置"
    width: 460
    height: 200
    minimumWidth: 420
    minimumHeight: 180
    color: Theme.background

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 20
        spacing: 8
        StoreLabel {
            text: "站点地址"
            size: 13
            font.weight: Font.DemiBold
        }
        StoreLabel {
            text: Shell.siteAddress()
            size: 12
            color: Theme.secondary
        }
        Item { Layout.fillHeight: true }
        StoreLabel {
            text: "修改站点地址的设置即将上线。"
            size: 11
            color: Theme.tertiary
        }
    }
}
