import QtQuick
import QtQuick.Controls
import Vexlo.Components
import Vexlo.Software

// Asks before moving an application to the Trash, runs the removal and shows why it failed. After a success it
// looks for what the application left in the Library; when there is anything, it lists it (items named by the
// bundle identifier checked, ones only sharing the name unchecked under 可能相关) and moves the checked ones to
// the Trash too. Reports `done` with the number of items cleaned once the bundle is gone and the sheet is
// finished; `closed` follows every way of closing.
Popup {
    id: sheet
    objectName: "uninstallSheet"

    // The localApp to remove, fixed for the sheet's life.
    required property var target
    // The Library searched for leftovers; empty for the user's own.
    property string library: ""
    signal done(int cleaned)

    readonly property bool busy: action.busy || leftovers.busy
    readonly property string error: removed ? leftovers.error : action.error
    // The bundle is in the Trash: the sheet now shows (or looks for) the leftovers.
    property bool removed: false
    readonly property bool listing: removed && leftovers.searched && leftovers.count > 0
    readonly property alias leftoverList: leftovers
    property int cleaned: 0
    property bool reported: false

    function confirm() {
        if (!sheet.busy && !sheet.removed)
            action.start(sheet.target.bundlePath)
    }
    function trashLeftovers() {
        if (!sheet.busy && sheet.listing)
            leftovers.moveCheckedToTrash()
    }
    function finish() {
        if (!sheet.reported) {
            sheet.reported = true
            sheet.done(sheet.cleaned)
        }
        sheet.close()
    }
    onClosed: if (sheet.removed) sheet.finish()

    parent: Overlay.overlay
    anchors.centerIn: parent
    width: sheet.removed ? 460 : 380
    padding: 20
    modal: true
    dim: true
    focus: true
    // Not while a removal runs: its outcome must reach the list.
    closePolicy: sheet.busy ? Popup.NoAutoClose : Popup.CloseOnEscape

    UninstallAction {
        id: action
        onSucceeded: {
            sheet.removed = true
            leftovers.find(sheet.target.bundleId || "", sheet.target.name)
        }
    }
    LeftoverList {
        id: leftovers
        library: sheet.library
        // Nothing left behind: the sheet is done at once.
        onBusyChanged: {
            if (!leftovers.busy && sheet.removed && leftovers.searched && leftovers.count === 0)
                sheet.finish()
        }
        onRemoved: (moved) => {
            sheet.cleaned += moved
            if (leftovers.error === "")
                sheet.finish()
        }
    }

    Shortcut {
        sequences: ["Return", "Enter"]
        enabled: sheet.opened && !sheet.busy
        onActivated: sheet.removed ? sheet.trashLeftovers() : sheet.confirm()
    }

    background: Rectangle {
        radius: 12
        color: Theme.card
        border.width: 1
        border.color: Theme.hairline
    }

    contentItem: Item {
        implicitWidth: sheet.removed ? leftoverColumn.implicitWidth : confirmColumn.implicitWidth
        implicitHeight: sheet.removed ? leftoverColumn.implicitHeight : confirmColumn.implicitHeight

        Column {
            id: confirmColumn
            width: parent.width
            visible: !sheet.removed
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

        Column {
            id: leftoverColumn
            width: parent.width
            visible: sheet.removed
            spacing: 12

            StoreLabel {
                objectName: "leftoverTitle"
                width: parent.width
                text: "「" + sheet.target.name + "」已移到废纸篓"
                size: 15
                font.weight: Font.DemiBold
                wrapMode: Text.Wrap
            }
            Row {
                visible: !sheet.listing
                spacing: 8
                BusyIndicator { width: 16; height: 16; running: visible }
                StoreLabel { text: "正在查找资源库里的残留文件…"; size: 11; color: Theme.secondary }
            }
            StoreLabel {
                objectName: "leftoverIntro"
                visible: sheet.listing
                width: parent.width
                text: "它在资源库里还留下了这些文件。勾选的会一起移到废纸篓："
                size: 11
                color: Theme.secondary
                wrapMode: Text.Wrap
            }
            Rectangle {
                visible: sheet.listing
                width: parent.width
                height: Math.min(leftoverView.contentHeight, 240) + 2
                radius: 8
                color: Theme.background
                border.width: 1
                border.color: Theme.hairline
                ListView {
                    id: leftoverView
                    objectName: "leftoverList"
                    anchors.fill: parent
                    anchors.margins: 1
                    clip: true
                    model: leftovers
                    boundsBehavior: Flickable.StopAtBounds
                    ScrollBar.vertical: ScrollBar {}
                    // Qt 6.4 makes no bound delegate here, so qmllint takes the sheet's ids used inside as unqualified.
                    // qmllint disable unqualified
                    delegate: Item {
                        id: item
                        required property int index
                        required property string place
                        required property string path
                        required property string sizeText
                        required property bool checked
                        required property bool firstRelated
                        width: ListView.view.width
                        height: 30 + (firstRelated ? 24 : 0)
                        StoreLabel {
                            objectName: "leftoverRelatedHeader"
                            visible: item.firstRelated
                            x: 10
                            y: 8
                            text: "可能相关（只是名称相同，请确认后再勾选）"
                            size: 10
                            font.weight: Font.DemiBold
                            color: Theme.tertiary
                        }
                        CheckBox {
                            id: box
                            objectName: "leftoverCheck"
                            x: 4
                            anchors.bottom: parent.bottom
                            anchors.bottomMargin: (30 - height) / 2
                            checked: item.checked
                            enabled: !sheet.busy
                            Accessible.name: item.place
                            onToggled: leftovers.setChecked(item.index, checked)
                        }
                        StoreLabel {
                            objectName: "leftoverPlace"
                            anchors.left: box.right
                            anchors.right: sizeLabel.left
                            anchors.rightMargin: 8
                            anchors.verticalCenter: box.verticalCenter
                            text: item.place
                            size: 11
                            elide: Text.ElideMiddle
                        }
                        StoreLabel {
                            id: sizeLabel
                            objectName: "leftoverSize"
                            anchors.right: parent.right
                            anchors.rightMargin: 10
                            anchors.verticalCenter: box.verticalCenter
                            text: item.sizeText
                            size: 10.5
                            color: Theme.tertiary
                        }
                    }
                    // qmllint enable unqualified
                }
            }
            StoreLabel {
                objectName: "leftoverError"
                width: parent.width
                visible: leftovers.error !== ""
                text: leftovers.error
                size: 11
                color: Theme.red
                wrapMode: Text.Wrap
            }
            Item {
                visible: sheet.listing
                width: parent.width
                height: leftoverButtons.height
                StoreLabel {
                    objectName: "leftoverSummary"
                    anchors.verticalCenter: parent.verticalCenter
                    text: "已选 " + leftovers.checkedCount + " 项 · " + leftovers.checkedSize
                    size: 11
                    color: Theme.secondary
                }
                Row {
                    id: leftoverButtons
                    anchors.right: parent.right
                    spacing: 10
                    SoftwareButton {
                        objectName: "leftoverKeep"
                        enabled: !sheet.busy
                        tint: Theme.text
                        text: "保留"
                        onClicked: sheet.finish()
                    }
                    SoftwareButton {
                        objectName: "leftoverTrash"
                        width: Math.max(implicitWidth, 96)
                        enabled: !sheet.busy && leftovers.checkedCount > 0
                        prominent: true
                        tint: Theme.red
                        text: leftovers.busy ? "" : "移到废纸篓"
                        onClicked: sheet.trashLeftovers()
                        BusyIndicator {
                            anchors.centerIn: parent
                            width: 16
                            height: 16
                            running: leftovers.busy
                            visible: leftovers.busy
                        }
                    }
                }
            }
        }
    }
}
