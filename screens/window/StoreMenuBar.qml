pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Vexlo.Components
import Vexlo.Window

// The main window's "商店" menu. Every item acts on the store window's content; none opens a second window.
// F10 opens it from the keyboard; its items show their shortcuts.
MenuBar {
    id: root
    objectName: "storeMenuBar"

    // The StoreWindow whose commands the items run.
    required property StoreWindow storeWindow

    function openStoreMenu() {
        storeMenu.popup(root.itemAt(0), 0, root.height)
        storeMenu.currentIndex = 0
    }

    Shortcut {
        sequence: "F10"
        onActivated: root.openStoreMenu()
    }

    Menu {
        id: storeMenu
        objectName: "storeMenu"
        title: "商店"
        delegate: MenuItem {
            id: entry
            contentItem: RowLayout {
                spacing: 24
                StoreLabel {
                    Layout.fillWidth: true
                    text: entry.text
                    size: 13
                }
                StoreLabel {
                    objectName: "shortcutHint"
                    text: entry.action ? String(entry.action.shortcut ?? "") : ""
                    size: 12
                    color: Theme.muted
                }
            }
        }
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
            shortcut: "Ctrl+,"
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
