import QtQuick
import QtQuick.Layouts
import Vexlo.Components

// One order of the membership page: plan and order number on the left; amount, pay type, status and date on
// the right. A hairline separates it from the row above.
Item {
    id: root
    required property int index
    required property string orderNo
    required property string planName
    required property double amount
    required property string payType
    required property string status
    required property string createdAt

    objectName: "orderRow"
    implicitHeight: 48

    Rectangle {
        visible: root.index > 0
        width: parent.width
        height: 1
        color: Theme.hairline
    }
    RowLayout {
        anchors.fill: parent
        spacing: 16
        Column {
            Layout.fillWidth: true
            spacing: 2
            StoreLabel {
                objectName: "orderPlan"
                width: parent.width
                text: root.planName
                size: 12.4
                font.weight: Font.DemiBold
                elide: Text.ElideRight
            }
            StoreLabel {
                objectName: "orderNumber"
                width: parent.width
                text: "订单号 " + root.orderNo
                size: 10.5
                color: Theme.secondary
                elide: Text.ElideMiddle
            }
        }
        StoreLabel {
            objectName: "orderAmount"
            text: "¥" + PageText.price(root.amount)
            size: 12.4
            font.weight: Font.DemiBold
        }
        StoreLabel {
            objectName: "orderPayType"
            Layout.preferredWidth: 44
            text: PageText.payType(root.payType)
            size: 11
            color: Theme.secondary
        }
        StoreLabel {
            objectName: "orderStatus"
            Layout.preferredWidth: 44
            text: PageText.orderStatus(root.status)
            size: 11
            font.weight: Font.DemiBold
            color: root.status === "paid" ? Theme.good : root.status === "pending" ? Theme.caution : Theme.secondary
        }
        StoreLabel {
            objectName: "orderDate"
            Layout.preferredWidth: 96
            horizontalAlignment: Text.AlignRight
            text: Theme.formatDate(root.createdAt)
            size: 11
            color: Theme.secondary
        }
    }
}
