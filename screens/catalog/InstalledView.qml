import QtQuick
import Vexlo.Components
import QtQuick.Controls
import Vexlo.Store
import Vexlo.Catalog

// The local record of downloaded software, newest first.
CatalogListPage {
    id: root
    objectName: "installedView"
    grid: false
    rowHeight: 64
    rowSpacing: 8

    model: DownloadedAppsModel {
        id: records
        records: Store.installed
    }

    // Qt 6.4 creates no bound component in a ListView header or footer or in a Loader, so this file cannot use
    // "pragma ComponentBehavior: Bound", and qmllint takes ids used inside the components below as unqualified.
    // qmllint disable unqualified
    above: Column {
        spacing: 26

        PageHeader {
            width: parent.width
            eyebrow: "已购项目"
            title: "已下载的软件"
            subtitle: "本机记录，不做设备绑定"
        }

        EmptyState {
            objectName: "installedEmpty"
            visible: records.count === 0
            width: parent.width
            icon: "arrow.down.circle"
            iconWeight: Font.Light
            title: "还没有下载过软件"
            hint: "在精选或排行榜里点「获取」即可开始"
        }
    }
    // qmllint enable unqualified

    // qmllint disable unqualified
    delegate: CardFrame {
        id: entry
        objectName: "installedRow"
        required property string slug
        required property string name
        required property string version
        required property string size
        required property date installedAt
        width: root.contentWidth
        height: 64
        radius: 12
        AppIconView {
            id: icon
            x: 14
            anchors.verticalCenter: parent.verticalCenter
            size: 38
            glyph: "app"
            accent: Theme.plainAccent
            accent2: Theme.plainAccent2
        }
        Column {
            anchors.left: icon.right
            anchors.leftMargin: 12
            anchors.right: when.left
            anchors.rightMargin: 12
            anchors.verticalCenter: parent.verticalCenter
            spacing: 2
            StoreLabel {
                objectName: "installedName"
                width: parent.width
                text: entry.name
                size: 12.9
                font.weight: Font.Medium
                elide: Text.ElideRight
            }
            StoreLabel {
                width: parent.width
                text: entry.version + " · " + entry.size
                size: 10.5
                color: Theme.secondary
                elide: Text.ElideRight
            }
        }
        StoreLabel {
            id: when
            anchors.right: reveal.left
            anchors.rightMargin: 16
            anchors.verticalCenter: parent.verticalCenter
            text: Theme.formatDateTime(entry.installedAt)
            size: 10.5
            color: Theme.tertiary
        }
        AbstractButton {
            id: reveal
            objectName: "revealButton"
            anchors.right: parent.right
            anchors.rightMargin: 12
            anchors.verticalCenter: parent.verticalCenter
            hoverEnabled: true
            leftPadding: 10
            rightPadding: 10
            topPadding: 5
            bottomPadding: 5
            text: "在 Finder 中显示"
            background: Rectangle {
                radius: 6
                color: reveal.hovered ? Theme.tint(Theme.accent, 0.1) : "transparent"
            }
            contentItem: StoreLabel {
                text: reveal.text
                size: 11.5
                color: Theme.accent
            }
            onClicked: Store.reveal(entry.slug)
        }
    }
    // qmllint enable unqualified
}
