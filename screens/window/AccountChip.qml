import QtQuick
import Vexlo.Components
import Vexlo.Service
import QtQuick.Controls
import QtQuick.Layouts
import Vexlo.Store
import Vexlo.Window

// The toolbar's account button: sign in when signed out, the membership page when signed in.
ToolButton {
    id: root
    Accessible.name: root.signedIn ? "查看我的账户" : "登录账户"
    objectName: "accountChip"

    readonly property var member: Store.member
    readonly property bool signedIn: member !== undefined && member !== null

    hoverEnabled: true
    ToolTip.visible: hovered
    ToolTip.delay: 600
    ToolTip.text: signedIn ? "查看我的账户" : "登录账户"

    onClicked: {
        if (signedIn)
            Navigator.showSection("member")
        else
            Navigator.openLogin()
    }

    background: Rectangle {
        implicitHeight: 28
        radius: height / 2
        color: root.down ? Theme.shade(0.10) : root.hovered ? Theme.shade(0.06) : Theme.shade(0.03)
        border.width: 1
        border.color: Theme.hairline
    }

    contentItem: RowLayout {
        spacing: 6
        SymbolIcon {
            visible: !root.signedIn
            name: "person.crop.circle"
            size: 16
            color: Theme.strong
        }
        Rectangle {
            objectName: "sponsorDot"
            visible: root.signedIn
            width: 6
            height: 6
            radius: 3
            color: root.signedIn && root.member.sponsorActive ? Theme.green : Theme.tint(Theme.muted, 0.5)
        }
        Label {
            objectName: "accountLabel"
            text: root.signedIn ? root.member.nickname : "登录"
            font.pixelSize: 12
            color: Theme.ink
        }
    }
    leftPadding: 10
    rightPadding: 12
}
