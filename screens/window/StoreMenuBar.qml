import QtQuick
import QtQuick.Controls
import Vexlo.Components
import Vexlo.Window

// The main window's "商店" menu. Every item acts on the store window's content; none opens a second window.
MenuBar {
    id: root
    objectName: "storeMenuBar"

    // The StoreWindow whose commands the items run.
    required property StoreWindow storeWindow

    Menu {
        title: "商店"
        Action {
            objectName: "refreshAction"
            text: "刷新商店"
            shortcut: "Ctrl+R"
            onTriggered: root.storeWindow.refreshStore()
        }
        Action {
            objectName: "discoverAction"
            text: "返回精选"
            shortcut: "Ctrl+1"
            onTriggered: root.storeWindow.backToDiscover()
        }
        MenuSeparator {}
        Action {
            objectName: "quickSearchAction"
            text: "快速搜索"
            shortcut: "Ctrl+K"
            onTriggered: Shell.showQuickSearch()
        }
        Action {
            objectName: "settingsAction"
            text: "设置…"
            onTriggered: Shell.showSettings()
        }
        MenuSeparator {}
        Action {
            objectName: "siteAction"
            text: "打开站点官网"
            onTriggered: root.storeWindow.openSite()
        }
    }
}
