import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Vexlo.Components
import Vexlo.Settings

// The settings window's content, a grouped form of 420 × 360: the site address ("站点"), the signed-in
// account ("账户") and whether developers' update feeds are read ("软件管理"). The address is read once, when
// the view is made.
Rectangle {
    id: root
    objectName: "settingsView"
    implicitWidth: 420
    implicitHeight: 360
    color: Theme.background

    readonly property alias settings: site
    // The sign-in sheet belongs to the store window: the window should come forward to show it.
    signal storeWindowWanted()

    SiteSettings {
        id: site
    }

    component SectionTitle: StoreLabel {
        size: 11
        font.weight: Font.DemiBold
        color: Theme.secondary
        Layout.leftMargin: 6
    }
    component ValueRow: RowLayout {
        property alias label: key.text
        property alias value: value.text
        property alias valueName: value.objectName
        Layout.fillWidth: true
        StoreLabel { id: key; size: 12 }
        Item { Layout.fillWidth: true }
        StoreLabel { id: value; size: 12; color: Theme.secondary; elide: Text.ElideMiddle; Layout.maximumWidth: 260 }
    }

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 16
        spacing: 6

        SectionTitle { text: "站点" }
        CardFrame {
            Layout.fillWidth: true
            Layout.preferredHeight: siteColumn.implicitHeight + 20
            ColumnLayout {
                id: siteColumn
                anchors.fill: parent
                anchors.margins: 10
                spacing: 6
                RowLayout {
                    Layout.fillWidth: true
                    spacing: 10
                    StoreLabel { text: "商店地址"; size: 12 }
                    TextField {
                        objectName: "addressField"
                        Layout.fillWidth: true
                        text: site.address
                        font.pixelSize: 12
                        selectByMouse: true
                        onTextEdited: site.address = text
                    }
                }
                StoreLabel {
                    objectName: "addressHint"
                    Layout.fillWidth: true
                    text: "本地开发填 http://127.0.0.1:3000，正式环境填你的域名。"
                    size: 11
                    color: Theme.secondary
                    wrapMode: Text.Wrap
                }
                RowLayout {
                    spacing: 8
                    StoreButton {
                        objectName: "saveButton"
                        kind: "prominent"
                        small: true
                        text: site.saved ? "已保存" : "保存并刷新"
                        enabled: site.canSave
                        onClicked: site.save()
                    }
                    StoreButton {
                        objectName: "restoreButton"
                        kind: "bordered"
                        small: true
                        text: "恢复默认"
                        onClicked: site.restoreDefault()
                    }
                }
            }
        }

        Item { Layout.preferredHeight: 4 }
        SectionTitle { text: "账户" }
        CardFrame {
            Layout.fillWidth: true
            Layout.preferredHeight: (site.signedIn ? memberColumn.implicitHeight : guestRow.implicitHeight) + 20

            RowLayout {
                id: guestRow
                objectName: "signedOut"
                visible: !site.signedIn
                anchors.fill: parent
                anchors.margins: 10
                StoreLabel {
                    objectName: "signedOutText"
                    text: "尚未登录"
                    size: 11
                    color: Theme.secondary
                }
                Item { Layout.fillWidth: true }
                StoreButton {
                    objectName: "signInButton"
                    kind: "bordered"
                    small: true
                    text: "登录\u2008"
                    onClicked: {
                        site.signIn()
                        root.storeWindowWanted()
                    }
                }
            }

            ColumnLayout {
                id: memberColumn
                objectName: "signedIn"
                visible: site.signedIn
                anchors.fill: parent
                anchors.margins: 10
                spacing: 4
                ValueRow { label: "昵称"; value: site.nickname; valueName: "nicknameValue" }
                ValueRow { label: "邮箱"; value: site.email; valueName: "emailValue" }
                ValueRow { label: "赞助"; value: site.sponsorship; valueName: "sponsorValue" }
                StoreButton {
                    objectName: "signOutButton"
                    kind: "bordered"
                    small: true
                    text: "退出登录"
                    onClicked: site.signOut()
                }
            }
        }

        Item { Layout.preferredHeight: 4 }
        SectionTitle { text: "软件管理" }
        CardFrame {
            Layout.fillWidth: true
            Layout.preferredHeight: feedRow.implicitHeight + 20
            RowLayout {
                id: feedRow
                anchors.fill: parent
                anchors.margins: 10
                spacing: 8
                ColumnLayout {
                    Layout.fillWidth: true
                    spacing: 2
                    StoreLabel { text: "检查商店以外应用的更新"; size: 12 }
                    StoreLabel {
                        Layout.fillWidth: true
                        text: "读取应用自带的更新地址，会访问开发者的服务器。"
                        size: 11
                        color: Theme.secondary
                        wrapMode: Text.Wrap
                    }
                }
                Switch {
                    objectName: "developerUpdatesSwitch"
                    checked: site.developerUpdates
                    Accessible.name: "检查商店以外应用的更新"
                    onToggled: site.developerUpdates = checked
                }
            }
        }
        Item { Layout.fillHeight: true }
    }
}
