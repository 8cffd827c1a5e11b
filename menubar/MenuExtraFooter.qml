import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Vexlo.Components
import Vexlo.MenuBar

// The panel's last part: the button that opens the store window, and the shortcuts into it and out.
ColumnLayout {
    id: root
    objectName: "menuExtraFooter"
    required property QuickSearch search
    spacing: 6

    AbstractButton {
        id: openStoreButton
        objectName: "openStoreButton"
        Layout.fillWidth: true
        hoverEnabled: true
        padding: 8
        onClicked: root.search.openStore()
        background: Rectangle {
            radius: 7
            color: Theme.accent
            opacity: openStoreButton.hovered ? 0.9 : 1
        }
        contentItem: RowLayout {
            spacing: 6
            SymbolIcon { name: "macwindow"; size: 12; color: Theme.light(1) }
            StoreLabel {
                text: "打开 Vexlo 工具箱"
                size: 11.9
                font.weight: Font.Medium
                color: Theme.light(1)
            }
            Item { Layout.fillWidth: true }
            StoreLabel {
                objectName: "openStoreHint"
                text: "⌘↩"
                size: 9.6
                color: Theme.light(1)
                opacity: 0.55
            }
        }
    }

    component FooterLink: AbstractButton {
        id: link
        property color tint: Theme.secondary
        hoverEnabled: true
        padding: 2
        background: null
        contentItem: StoreLabel {
            text: link.text
            size: 10.5
            color: link.tint
            font.underline: link.hovered
        }
    }

    RowLayout {
        Layout.fillWidth: true
        spacing: 12
        FooterLink {
            objectName: "memberLink"
            text: "赞助会员"
            onClicked: root.search.openStore("member")
        }
        FooterLink {
            objectName: "wallpapersLink"
            text: "壁纸"
            onClicked: root.search.openStore("wallpapers")
        }
        Item { Layout.fillWidth: true }
        FooterLink {
            objectName: "quitLink"
            text: "退出"
            tint: Theme.tertiary
            onClicked: Qt.quit()
        }
    }
}
