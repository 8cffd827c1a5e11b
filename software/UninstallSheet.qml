import QtQuick
import QtQuick.Controls
import Vexlo.Components
import Vexlo.Software

// Asks before moving an application to the Trash, runs the removal and shows why it failed. Closes itself
// after a success and reports `done`; `closed` follows every way of closing.
Popup {
    id: sheet
    objectName: "uninstallSheet"

    // The localApp to remove, fixed for the sheet's life.
    required property var target
    signal done()

    readonly property alias busy: action.busy
    readonly property alias error: action.error

    function confirm() {
        if (!action.busy)
            action.start(sheet.target.bundlePath)
    }

    parent: Overlay.overlay
    anchors.centerIn: parent
    width: 380
    padding: 20
    modal: true
    dim: true
    focus: true
    // Not while a removal runs: its outcome must reach the list.
    closePolicy: action.busy ? Popup.NoAutoClose : Popup.CloseOnEscape

    UninstallAction {
        id: action
        // done first: closing lets the page drop the sheet.
        onSucceeded: {
            sheet.done()
            sheet.close()
        }
    }

    Shortcut {
        sequences: ["Return", "Enter"]
        enabled: sheet.opened && !action.busy
        onActivated: sheet.confirm()
    }

    background: Rectangle {
        radius: 12
        color: Theme.card
        border.width: 1
        border.color: Theme.hairline
    }

    contentItem: Column {
        spacing: 14

        StoreLabel {
            objectName: "uninstallTitle"
            width: parent.width
            text: "卸载「" + sheet.target.name + "」？"
            size: 15
            font.weight: Font.DemiBold
            wrapMode: Text.Wrap
        }
        StoreLabel {
            objectName: "uninstallDetails"
            width: parent.width
            text: "将删除 " + sheet.target.bundlePath + "\n版本 " + sheet.target.version + " · " + sheet.target.sizeLabel
            size: 11
            color: Theme.secondary
            wrapMode: Text.WrapAnywhere
        }
        StoreLabel {
            objectName: "uninstallError"
            width: parent.width
            visible: action.error !== ""
            text: action.error
            size: 11
            color: Theme.red
            wrapMode: Text.Wrap
        }
        Item {
            width: parent.width
            height: buttons.height
            Row {
                id: buttons
                anchors.right: parent.right
                spacing: 10
                SoftwareButton {
                    objectName: "uninstallCancel"
                    enabled: !action.busy
                    tint: Theme.text
                    text: "取消"
                    onClicked: sheet.close()
                }
                SoftwareButton {
                    objectName: "uninstallConfirm"
                    width: Math.max(implicitWidth, 86)
                    enabled: !action.busy
                    prominent: true
                    tint: Theme.red
                    text: action.busy ? "" : "确认卸载"
                    onClicked: sheet.confirm()
                    BusyIndicator {
                        objectName: "uninstallSpinner"
                        anchors.centerIn: parent
                        width: 16
                        height: 16
                        running: action.busy
                        visible: action.busy
                    }
                }
            }
        }
        Rectangle {
            visible: action.error !== ""
            width: parent.width
            height: 1
            color: Theme.hairline
        }
        SoftwareButton {
            objectName: "uninstallReveal"
            visible: action.error !== ""
            tint: Theme.text
            symbol: "folder"
            text: "在 Finder 中显示，手动删除"
            onClicked: action.reveal(sheet.target.bundlePath)
        }
    }
}
