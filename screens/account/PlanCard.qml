pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Layouts
import Vexlo.Components
import Vexlo.Store

// One sponsorship plan on the membership page; the yearly plan is outlined in the accent colour.
Rectangle {
    id: root
    required property var record
    readonly property var plan: record
    readonly property bool highlighted: plan.slug === "yearly"

    implicitHeight: column.implicitHeight + 36
    radius: 14
    color: Theme.card
    border.width: highlighted ? 2 : 1
    border.color: highlighted ? Theme.accent : Theme.hairline

    ColumnLayout {
        id: column
        anchors.fill: parent
        anchors.margins: 18
        spacing: 8

        StoreLabel {
            objectName: "planBadge"
            visible: root.plan.badge !== ""
            text: root.plan.badge
            size: 10.1
            font.weight: Font.DemiBold
            color: Theme.accent
        }
        StoreLabel {
            objectName: "planName"
            Layout.fillWidth: true
            wrapMode: Text.Wrap
            text: root.plan.name
            size: 14.6
            font.bold: true
        }
        Row {
            spacing: 4
            StoreLabel {
                id: price
                objectName: "planPrice"
                text: "¥" + PageText.price(root.plan.price)
                size: 24.6
                font.bold: true
            }
            StoreLabel {
                objectName: "planPeriod"
                anchors.baseline: price.baseline
                text: PageText.period(root.plan.days)
                size: 12
                color: Theme.secondary
            }
        }
        StoreLabel {
            objectName: "planDescription"
            Layout.fillWidth: true
            text: root.plan.description
            size: 11.5
            color: Theme.secondary
            wrapMode: Text.Wrap
        }
        // Features wrap inside the card, however narrow the window makes it.
        Repeater {
            model: root.plan.features
            RowLayout {
                id: feature
                required property string modelData
                Layout.fillWidth: true
                spacing: 6
                SymbolIcon {
                    Layout.alignment: Qt.AlignTop
                    Layout.topMargin: 2
                    name: "checkmark"
                    size: 11
                    color: Theme.accent
                }
                StoreLabel {
                    objectName: "planFeature"
                    Layout.fillWidth: true
                    text: feature.modelData
                    size: 11.5
                    wrapMode: Text.Wrap
                }
            }
        }
        Item { Layout.fillHeight: true }
        StoreButton {
            objectName: "planButton"
            Layout.fillWidth: true
            text: "赞助 ¥" + PageText.price(root.plan.price)
            onClicked: Navigator.openCheckout(root.plan)
        }
    }
}
