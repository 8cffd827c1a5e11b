import QtQuick
import QtQuick.Controls
import Vexlo.Account
import Vexlo.Components

// Signs the user in to the store service. Return signs in (only with both fields filled and not busy),
// Escape or 取消 closes. The password is wiped when the sheet goes away.
FocusScope {
    id: root
    objectName: "loginPage"
    signal closeRequested()

    implicitWidth: 330
    implicitHeight: column.implicitHeight + 44
    width: implicitWidth

    SignInForm {
        id: form
        email: emailField.text
        password: passwordField.text
        onSignedIn: root.closeRequested()
    }

    Keys.onReturnPressed: form.submit()
    Keys.onEnterPressed: form.submit()
    Keys.onEscapePressed: root.closeRequested()
    Component.onDestruction: {
        passwordField.clear()
        form.forgetPassword()
    }

    Column {
        id: column
        x: 22
        y: 22
        width: root.width - 44
        spacing: 12

        Row {
            spacing: 12
            AppIconView {
                size: 44
                glyph: "app"
                accent: Theme.plainAccent
                accent2: Theme.accountAccent2
            }
            Column {
                anchors.verticalCenter: parent.verticalCenter
                spacing: 3
                StoreLabel {
                    objectName: "loginTitle"
                    text: "登录 Vexlo工具箱"
                    size: 15.6
                    font.bold: true
                }
                StoreLabel {
                    text: "同步赞助状态与已购项目"
                    size: 11
                    color: Theme.secondary
                }
            }
        }

        TextField {
            id: emailField
            objectName: "emailField"
            width: parent.width
            focus: true
            placeholderText: "邮箱"
            Accessible.name: "邮箱"
            inputMethodHints: Qt.ImhEmailCharactersOnly | Qt.ImhNoAutoUppercase
            font.family: Theme.fontFamily
            font.pixelSize: 13
            onAccepted: form.submit()
        }
        TextField {
            id: passwordField
            objectName: "passwordField"
            width: parent.width
            placeholderText: "密码"
            Accessible.name: "密码"
            echoMode: TextInput.Password
            inputMethodHints: Qt.ImhHiddenText | Qt.ImhSensitiveData | Qt.ImhNoPredictiveText
            font.family: Theme.fontFamily
            font.pixelSize: 13
            onAccepted: form.submit()
        }

        StoreLabel {
            objectName: "loginError"
            visible: form.error !== ""
            width: parent.width
            text: form.error
            size: 11.5
            color: Theme.red
            wrapMode: Text.Wrap
        }

        StoreLabel {
            width: parent.width
            text: "还没有账户？在浏览器中注册后即可登录。"
            size: 10.6
            color: Theme.secondary
            wrapMode: Text.Wrap
        }

        Row {
            anchors.right: parent.right
            spacing: 8
            StoreButton {
                objectName: "loginCancel"
                kind: "bordered"
                text: "取消"
                onClicked: root.closeRequested()
            }
            StoreButton {
                objectName: "loginSubmit"
                text: "登录"
                enabled: form.canSubmit
                onClicked: form.submit()
            }
        }
    }
}
