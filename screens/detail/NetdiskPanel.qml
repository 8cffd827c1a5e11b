pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import Vexlo.Components
import Vexlo.Store

// "下载地址": the app's cloud-drive links, each opened (code copied first) with "打开网盘".
Rectangle {
    id: root
    implicitHeight: column.implicitHeight + 28
    radius: 12
    color: Theme.card
    border.width: 1
    border.color: Theme.hairline

    Column {
        id: column
        x: 14
        y: 14
        width: root.width - 28
        spacing: 10

        Row {
            spacing: 8
            StoreLabel {
                objectName: "netdiskTitle"
                text: "下载地址"
                size: 14.6
                font.bold: true
                anchors.verticalCenter: parent.verticalCenter
            }
            BusyIndicator {
                objectName: "netdiskSpinner"
                visible: Store.netdiskBusy
                running: visible
                implicitWidth: 16
                implicitHeight: 16
                anchors.verticalCenter: parent.verticalCenter
            }
        }

        StoreLabel {
            objectName: "netdiskEmpty"
            visible: Store.netdiskLinks.length === 0
            text: "暂无网盘下载源"
            size: 11.5
            color: Theme.tertiary
        }

        Repeater {
            model: NetdiskLinkModel { records: Store.netdiskLinks }
            Item {
                id: linkRow
                objectName: "netdiskRow"
                required property var record
                required property string providerName
                required property string size
                required property bool hasCode
                required property string code
                width: column.width
                implicitHeight: Math.max(open.implicitHeight, provider.implicitHeight)

                Row {
                    anchors.verticalCenter: parent.verticalCenter
                    spacing: 10
                    StoreLabel {
                        id: provider
                        objectName: "netdiskProvider"
                        width: 78
                        elide: Text.ElideRight
                        text: linkRow.providerName
                        size: 12
                        font.weight: Font.DemiBold
                        anchors.verticalCenter: parent.verticalCenter
                    }
                    StoreLabel {
                        objectName: "netdiskSize"
                        visible: linkRow.size !== ""
                        text: linkRow.size
                        size: 9.6
                        color: Theme.secondary
                        anchors.verticalCenter: parent.verticalCenter
                    }
                    StoreLabel {
                        objectName: "netdiskCode"
                        visible: linkRow.hasCode
                        text: "提取码 " + linkRow.code
                        size: 10.6
                        anchors.verticalCenter: parent.verticalCenter
                    }
                }
                StoreButton {
                    id: open
                    objectName: "netdiskOpen"
                    anchors.right: parent.right
                    anchors.verticalCenter: parent.verticalCenter
                    kind: "bordered"
                    small: true
                    text: "打开网盘"
                    onClicked: Store.openNetdisk(linkRow.record)
                }
            }
        }
    }
}
