import QtQuick
import QtQuick.Controls
import Vexlo.Account
import Vexlo.Components

// One plan in the checkout sheet's picker: name, price and length; pressing it orders the plan.
AbstractButton {
    id: root
    required property var record
    readonly property var plan: record

    hoverEnabled: true
    focusPolicy: Qt.StrongFocus
    implicitHeight: 46
    text: plan.name
    Accessible.name: plan.name + " ¥" + PageText.price(plan.price)
    Keys.onReturnPressed: if (enabled) clicked()
    Keys.onEnterPressed: if (enabled) clicked()
    opacity: enabled ? 1 : 0.5

    background: Rectangle {
        radius: 10
        color: root.hovered ? Theme.cardHover : Theme.card
        border.width: 1
        border.color: Theme.hairline
    }
    contentItem: Item {
        StoreLabel {
            objectName: "planRowName"
            x: 12
            anchors.verticalCenter: parent.verticalCenter
            text: root.plan.name
            size: 12.4
            font.weight: Font.DemiBold
        }
        Row {
            anchors.right: parent.right
            anchors.rightMargin: 10
            anchors.verticalCenter: parent.verticalCenter
            spacing: 10
            StoreLabel {
                objectName: "planRowPrice"
                text: "¥" + PageText.price(root.plan.price)
                size: 12.4
                font.weight: Font.DemiBold
                anchors.verticalCenter: parent.verticalCenter
            }
            StoreLabel {
                objectName: "planRowLength"
                text: CheckoutText.planLength(root.plan.days)
                size: 11
                color: Theme.secondary
                anchors.verticalCenter: parent.verticalCenter
            }
            SymbolIcon {
                name: "chevron.right"
                size: 11
                color: Theme.tertiary
                anchors.verticalCenter: parent.verticalCenter
            }
        }
    }
}
