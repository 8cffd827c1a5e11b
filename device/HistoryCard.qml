pragma ComponentBehavior: Bound
import QtQuick

import QtQuick.Layouts
import Vexlo.Components
import Vexlo.Device

// Earlier checks of this Mac, newest first; choosing one lists what changed since then. A system serial
// that changed between two checks of the same Mac is a finding.
CardFrame {
    id: card
    property DeviceCheck check
    readonly property int entries: check ? check.historyModel.count : 0

    height: column.implicitHeight + 32

    ColumnLayout {
        id: column
        anchors { left: parent.left; right: parent.right; top: parent.top; margins: 16; leftMargin: 18 }
        spacing: 8
        RowLayout {
            spacing: 8
            SymbolIcon { name: "clock.arrow.circlepath"; size: 16; color: Theme.accent }
            StoreLabel { text: "检测记录"; size: 14; font.bold: true }
            Item { Layout.fillWidth: true }
            StoreLabel {
                objectName: "historyCount"
                visible: card.entries > 0
                text: "之前检测过 " + card.entries + " 次"
                color: Theme.secondary
            }
        }
        StoreLabel {
            objectName: "historyEmpty"
            visible: card.entries === 0
            Layout.fillWidth: true
            text: "这是这台 Mac 的第一次检测。以后再检测时，可以在这里与本次结果对比。"
            color: Theme.secondary
            wrapMode: Text.Wrap
        }
        Repeater {
            model: card.check ? card.check.historyModel : null
            delegate: Rectangle {
                id: entry
                required property int index
                required property string date
                required property int score
                required property string verdict
                required property bool sameSerial
                readonly property bool chosen: card.check.comparedRow === index
                objectName: "historyRow"
                Layout.fillWidth: true
                Layout.preferredHeight: 40
                radius: 8
                color: chosen ? Theme.cardHover : Theme.background
                RowLayout {
                    anchors { fill: parent; leftMargin: 12; rightMargin: 8 }
                    spacing: 12
                    StoreLabel { text: entry.date; font.weight: Font.DemiBold }
                    StoreLabel {
                        text: entry.score + " 分"
                        color: entry.score >= 85 ? Theme.good : entry.score >= 70 ? Theme.caution : Theme.danger
                        font.weight: Font.DemiBold
                    }
                    StoreLabel {
                        Layout.fillWidth: true
                        text: entry.verdict
                        color: Theme.secondary
                        elide: Text.ElideRight
                    }
                    StoreLabel {
                        visible: !entry.sameSerial
                        text: "序列号不同"
                        color: Theme.danger
                        font.weight: Font.DemiBold
                    }
                    DeviceButton {
                        objectName: "compareButton"
                        flat: entry.chosen
                        text: entry.chosen ? "收起对比" : "对比"
                        Accessible.name: "与 " + entry.date + " 的检测对比"
                        onClicked: card.check.compareWith(entry.chosen ? -1 : entry.index)
                    }
                }
            }
        }
        StoreLabel {
            objectName: "noChanges"
            visible: card.check !== null && card.check.comparedRow >= 0 && card.check.historyChanges.length === 0
            text: "与那次检测相比，没有变化。"
            color: Theme.good
        }
        Repeater {
            model: HistoryChangeModel {
                records: card.check && card.check.comparedRow >= 0 ? card.check.historyChanges : []
            }
            delegate: RowLayout {
                id: change
                required property string label
                required property string before
                required property string after
                required property bool finding
                objectName: "changeRow"
                Layout.fillWidth: true
                spacing: 10
                Rectangle {
                    Layout.preferredWidth: badge.implicitWidth + 12
                    Layout.preferredHeight: 20
                    radius: 5
                    color: Theme.tint(change.finding ? Theme.danger : Theme.caution, 0.14)
                    StoreLabel {
                        id: badge
                        anchors.centerIn: parent
                        text: change.finding ? "发现" : "已变化"
                        size: 11
                        color: change.finding ? Theme.danger : Theme.caution
                    }
                }
                StoreLabel {
                    Layout.preferredWidth: 170
                    text: change.label
                    color: Theme.secondary
                    elide: Text.ElideRight
                }
                StoreLabel {
                    Layout.fillWidth: true
                    text: change.before + "  →  " + change.after
                    font.weight: Font.DemiBold
                    color: change.finding ? Theme.danger : Theme.text
                    wrapMode: Text.Wrap
                }
            }
        }
    }
}
