import QtQuick
import Vexlo.Components
import Vexlo.Service
import QtQuick.Controls
import QtQuick.Layouts
import Vexlo.Store
import Vexlo.Window

// Pinned below the sidebar list: the member's sponsorship, or the way to become one.
Item {
    id: root
    objectName: "sidebarFooter"

    readonly property var member: Store.member
    readonly property bool sponsor: member !== undefined && member !== null && member.sponsorActive

    implicitHeight: 56

    Rectangle {
        anchors { left: parent.left; right: parent.right; top: parent.top }
        height: 1
        color: Theme.hairline
    }

    RowLayout {
        objectName: "sponsorStatus"
        visible: root.sponsor
        anchors.fill: parent
        anchors.leftMargin: 16
        anchors.rightMargin: 12
        spacing: 8
        SymbolIcon {
            name: "checkmark.seal.fill"
            size: 18
            color: Theme.accent
        }
        ColumnLayout {
            Layout.fillWidth: true
            spacing: 1
            Label {
                objectName: "sponsorTitle"
                text: root.sponsor && root.member.forever ? "终身赞助者" : "赞助有效"
                font.pixelSize: 12
                font.weight: Font.DemiBold
            }
            Label {
                objectName: "sponsorDetail"
                text: !root.sponsor ? "" : root.member.forever ? "已解锁全部软件" : "剩余 " + root.member.daysLeft + " 天"
                font.pixelSize: 11
                color: Theme.muted
            }
        }
    }

    ItemDelegate {
        id: unlockButton
        objectName: "unlockButton"
        visible: !root.sponsor
        anchors.fill: parent
        anchors.margins: 8
        hoverEnabled: true
        background: Rectangle {
            radius: 6
            color: unlockButton.hovered ? Theme.shade(0.05) : "transparent"
        }
        contentItem: RowLayout {
            spacing: 7
            SymbolIcon {
                name: "sparkles"
                size: 15
                color: Theme.accent
            }
            Label {
                Layout.fillWidth: true
                text: "解锁全部软件"
                font.pixelSize: 13
                font.weight: Font.DemiBold
                color: Theme.accent
            }
        }
        onClicked: Navigator.showSection("member")
    }
}
