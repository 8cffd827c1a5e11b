import QtQuick
import QtQuick.Controls
import Vexlo.Screens

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

    menuBar: MenuBar {
        objectName: "menuBar"
        Menu {
            title: "商店"
            Action {
                text: "刷新商店"
                shortcut: "Ctrl+R"
                onTriggered: content.refreshStore()
            }
            Action {
                text: "返回精选"
                shortcut: "Ctrl+1"
                onTriggered: content.backToDiscover()
            }
            MenuSeparator {}
            Action {
                text: "打开站点官网"
                onTriggered: content.openSite()
            }
        }
    }

    Shortcut {
        sequence: StandardKey.Preferences
        onActivated: Shell.showSettings()
    }

    StoreWindow {
        id: content
        anchors.fill: parent
    }
}
