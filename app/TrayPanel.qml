import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Vexlo.Screens

// The panel behind the menu bar item. Its quick search arrives with the menu bar feature; for now it
// offers the way into the store window.
Window {
    id: panel
    objectName: "trayPanel"
    width: 300
    height: 160
    flags: Qt.Tool | Qt.FramelessWindowHint | Qt.WindowStaysOnTopHint
    color: Theme.background
    onActiveChanged: if (!active) visible = false

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 14
        spacing: 10
        StoreLabel {
            text: "Vexlo工具箱"
            size: 12.4
            font.weight: Font.DemiBold
        }
        StoreLabel {
            Layout.fillWidth: true
            text: "快速搜索即将上线。"
            size: 11
            color: Theme.secondary
        }
        Item { Layout.fillHeight: true }
        RowLayout {
            Button {
                text: "打开商店"
                onClicked: {
                    panel.visible = false
                    Shell.showStoreWindow()
                }
            }
            Item { Layout.fillWidth: true }
            Button {
                text: "退出"
                onClicked: Qt.quit()
            }
        }
    }
}
