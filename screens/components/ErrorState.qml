import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Vexlo.Components

// Fills the content area while the store could not be reached and no home payload exists yet.
Item {
    id: root
    objectName: "errorState"

    property string message: ""
    // The site address the store tried to reach.
    property string address: ""
    signal retry()

    ColumnLayout {
        anchors.centerIn: parent
        width: Math.min(parent.width - 80, 420)
        spacing: 10

        SymbolIcon {
            Layout.alignment: Qt.AlignHCenter
            name: "wifi.exclamationmark"
            size: 44
            color: Theme.muted
        }
        Label {
            objectName: "errorTitle"
            Layout.alignment: Qt.AlignHCenter
            text: "无法连接商店"
            font.pixelSize: 18
            font.weight: Font.Bold
        }
        Label {
            objectName: "errorMessage"
            Layout.fillWidth: true
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.Wrap
            text: root.message
            font.pixelSize: 13
        }
        Label {
            objectName: "errorAddress"
            Layout.alignment: Qt.AlignHCenter
            text: root.address
            font.pixelSize: 11
            color: Theme.muted
        }
        Button {
            id: retryButton
            objectName: "retryButton"
            Layout.alignment: Qt.AlignHCenter
            Layout.topMargin: 4
            text: "重试"
            onClicked: root.retry()
            leftPadding: 22
            rightPadding: 22
            contentItem: Label {
                text: retryButton.text
                font.pixelSize: 13
                font.weight: Font.DemiBold
                color: "white"
                horizontalAlignment: Text.AlignHCenter
                verticalAlignment: Text.AlignVCenter
            }
            background: Rectangle {
                implicitHeight: 30
                radius: 7
                color: retryButton.down ? Qt.darker(Theme.accent, 1.15) : Theme.accent
            }
        }
        Label {
            Layout.alignment: Qt.AlignHCenter
            text: "可在「设置」中修改站点地址"
            font.pixelSize: 11
            color: Theme.muted
        }
    }
}
