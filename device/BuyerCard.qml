pragma ComponentBehavior: Bound
import QtQuick

import QtQuick.Controls
import QtQuick.Layouts
import Vexlo.Components
import Vexlo.Device

// What the buyer compares by hand: the serial printed on the case bottom or the box against the one the
// logic board reports. The result joins the cross-checks and the score.
CardFrame {
    id: card
    property DeviceCheck check
    // The 机身序列号核对 row of the cross-checks, once the check has finished.
    readonly property var result: check ? check.caseSerialCheck : undefined
    readonly property string resultStatus: result ? result.status : "info"

    height: column.implicitHeight + 32

    function statusColor(status) {
        switch (status) {
        case "ok": return Theme.good
        case "warn": return Theme.caution
        case "bad": return Theme.danger
        }
        return Theme.secondary
    }
    function compare() {
        card.check.caseSerial = field.text
    }

    ColumnLayout {
        id: column
        anchors { left: parent.left; right: parent.right; top: parent.top; margins: 16; leftMargin: 18 }
        spacing: 10
        RowLayout {
            spacing: 8
            SymbolIcon { name: "key.horizontal"; size: 16; color: Theme.accent }
            StoreLabel { text: "机身序列号核对"; size: 14; font.bold: true }
            Item { Layout.fillWidth: true }
            StoreLabel {
                objectName: "caseSerialResult"
                visible: card.result !== undefined
                text: card.result ? card.result.result : ""
                font.weight: Font.DemiBold
                color: card.statusColor(card.resultStatus)
            }
        }
        StoreLabel {
            Layout.fillWidth: true
            text: "输入机身底部或包装盒上印的序列号，与系统读到的序列号比对；不一致说明主板可能不属于这台机身。"
            color: Theme.secondary
            wrapMode: Text.Wrap
        }
        RowLayout {
            Layout.fillWidth: true
            spacing: 10
            TextField {
                id: field
                objectName: "caseSerialField"
                Layout.fillWidth: true
                Layout.maximumWidth: 360
                text: card.check ? card.check.caseSerial : ""
                placeholderText: "机身序列号，例如 C02ABC123XYZ"
                font.family: Theme.fontFamily
                font.pixelSize: 13
                selectByMouse: true
                Accessible.name: "机身序列号"
                onAccepted: card.compare()
                background: Rectangle {
                    implicitHeight: 30
                    radius: 7
                    color: Theme.shade(0.05)
                    border.width: field.activeFocus ? 2 : 0
                    border.color: Theme.tint(Theme.accent, 0.5)
                }
            }
            DeviceButton {
                objectName: "caseSerialButton"
                prominent: true
                text: "核对"
                enabled: card.check !== null && card.check.started && !card.check.running
                Accessible.name: "核对机身序列号"
                onClicked: card.compare()
            }
        }
        StoreLabel {
            objectName: "caseSerialDetail"
            Layout.fillWidth: true
            visible: card.result !== undefined && card.resultStatus !== "info"
            text: card.result ? card.result.detail : ""
            color: card.statusColor(card.resultStatus)
            wrapMode: Text.Wrap
        }
    }
}
