pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Vexlo.Components
import Vexlo.Window

// The main window's "商店" menu where the system has no menu bar of its own: a button at the start of the
// window's toolbar, so the menu takes none of the content's height. Every item acts on the store window's
// content; none opens a second window. F10 opens it from the keyboard; its items show their shortcuts.
ToolButton {
    id: root
    objectName: "storeMenuButton"

    // The commands the window carries out (refreshStore, backToDiscover, openSite of StoreWindow).
    signal refreshRequested()
    signal discoverRequested()
    signal siteRequested()

    function openStoreMenu() {
        storeMenu.popup(root, 0, root.height)
        storeMenu.currentIndex = 0
    }

    implicitHeight: 28
    hoverEnabled: true
    focusPolicy: Qt.StrongFocus
    text: "商店"
    Accessible.name: "商店菜单"
    Accessible.role: Accessible.ButtonMenu
    ToolTip.visible: hovered && !storeMenu.visible
    ToolTip.delay: 600
    ToolTip.text: "商店菜单（F10）"
    background: Rectangle {
        radius: 6
        color: root.down || storeMenu.visible ? Theme.shade(0.10) : root.hovered ? Theme.shade(0.05) : "transparent"
    }
    contentItem: StoreLabel {
        text: root.text
        size: 12.4
        font.weight: Font.Medium
        color: Theme.strong
        verticalAlignment: Text.AlignVCenter
    }
    Keys.onReturnPressed: clicked()
    onClicked: openStoreMenu()

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
            onTriggered: root.refreshRequested()
        }
        Action {
            objectName: "discoverAction"
            text: "返回精选"
            shortcut: "Ctrl+1"
            onTriggered: root.discoverRequested()
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
            onTriggered: root.siteRequested()
        }
    }
}
