pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import Vexlo.Account
import Vexlo.Components
import Vexlo.Store

// The payment sheet: pick a plan, pay type and gateway; then pay the open order by QR code while the order
// is polled. Closing stops the polling and drops the open order.
FocusScope {
    id: root
    objectName: "checkoutPage"
    signal closeRequested()

    readonly property var order: Store.checkout
    readonly property bool hasOrder: order !== undefined && order !== null
    readonly property bool signedIn: Store.member !== undefined && Store.member !== null
    readonly property alias flow: flow

    implicitWidth: 380
    implicitHeight: column.implicitHeight + 40
    width: implicitWidth

    CheckoutFlow {
        id: flow
        onCloseRequested: root.closeRequested()
    }

    Keys.onEscapePressed: flow.close()

    Column {
        id: column
        x: 20
        y: 20
        width: root.width - 40
        spacing: 14

        // Title row.
        Item {
            width: parent.width
            implicitHeight: closeButton.implicitHeight
            Row {
                spacing: 8
                anchors.verticalCenter: parent.verticalCenter
                SymbolIcon {
                    name: "creditcard.fill"
                    size: 16
                    color: Theme.accent
                    anchors.verticalCenter: parent.verticalCenter
                }
                StoreLabel {
                    text: "完成支付"
                    size: 15.6
                    font.bold: true
                    anchors.verticalCenter: parent.verticalCenter
                }
            }
            ToolButton {
                id: closeButton
                objectName: "checkoutClose"
                anchors.right: parent.right
                focusPolicy: Qt.StrongFocus
                Accessible.name: "关闭"
                ToolTip.visible: hovered
                ToolTip.delay: 600
                ToolTip.text: "关闭"
                contentItem: SymbolIcon {
                    name: "xmark"
                    size: 13
                    color: Theme.secondary
                }
                Keys.onReturnPressed: clicked()
                onClicked: flow.close()
            }
        }

        // Plan picker, signed out: only the way to sign in.
        Column {
            objectName: "checkoutSignIn"
            visible: !root.hasOrder && !root.signedIn
            width: parent.width
            spacing: 10
            topPadding: 8
            bottomPadding: 8
            SymbolIcon {
                anchors.horizontalCenter: parent.horizontalCenter
                name: "person.crop.circle.badge.exclamationmark"
                size: 40
                color: Theme.tertiary
            }
            StoreLabel {
                anchors.horizontalCenter: parent.horizontalCenter
                text: "请先登录后再赞助"
                size: 13.1
                color: Theme.secondary
            }
            StoreButton {
                objectName: "checkoutLogin"
                anchors.horizontalCenter: parent.horizontalCenter
                text: "登录"
                onClicked: Navigator.openLogin()
            }
        }

        // Plan picker, signed in.
        Column {
            objectName: "planPicker"
            visible: !root.hasOrder && root.signedIn
            width: parent.width
            spacing: 10

            Item {
                width: parent.width
                implicitHeight: chips.implicitHeight
                Row {
                    id: chips
                    spacing: 8
                    Repeater {
                        model: CheckoutText.payTypes
                        StoreButton {
                            objectName: "payType_" + modelData.key
                            required property var modelData
                            readonly property bool selected: flow.payType === modelData.key
                            kind: selected ? "prominent" : "bordered"
                            small: true
                            text: modelData.label
                            checkable: false
                            onClicked: flow.payType = modelData.key
                        }
                    }
                }
                StoreButton {
                    objectName: "gatewayToggle"
                    anchors.right: parent.right
                    anchors.verticalCenter: chips.verticalCenter
                    kind: "plain"
                    small: true
                    text: flow.gatewayLabel
                    onClicked: flow.toggleGateway()
                }
            }

            Repeater {
                model: PlanListModel { records: Store.home ? Store.home.plans : [] }
                PlanRow {
                    id: planRow
                    objectName: "planRow"
                    width: parent.width
                    enabled: !Store.checkoutBusy
                    onClicked: flow.choose(planRow.record)
                }
            }
        }

        // Order view.
        Column {
            objectName: "orderView"
            visible: root.hasOrder
            width: parent.width
            spacing: 10

            StoreLabel {
                objectName: "orderPrompt"
                anchors.horizontalCenter: parent.horizontalCenter
                text: root.hasOrder ? CheckoutText.scanPrompt(root.order.payType) : ""
                size: 13.1
                font.weight: Font.DemiBold
            }
            QRCodeView {
                objectName: "qrCode"
                anchors.horizontalCenter: parent.horizontalCenter
                size: 168
                qr: root.hasOrder ? root.order.qr : ""
            }
            StoreLabel {
                objectName: "orderAmount"
                anchors.horizontalCenter: parent.horizontalCenter
                text: root.hasOrder ? "¥" + PageText.amount(root.order.amount) + " · " + root.order.planName : ""
                size: 14.6
                font.bold: true
            }
            Row {
                anchors.horizontalCenter: parent.horizontalCenter
                spacing: 6
                // The style's padding would leave no room for the spinner at this size.
                BusyIndicator {
                    objectName: "orderSpinner"
                    implicitWidth: 16
                    implicitHeight: 16
                    padding: 0
                    running: root.hasOrder
                    anchors.verticalCenter: parent.verticalCenter
                }
                StoreLabel {
                    objectName: "orderStatus"
                    text: root.hasOrder && root.order.live ? "等待支付结果…" : "沙箱模式：可直接模拟支付"
                    size: 11
                    color: Theme.secondary
                    anchors.verticalCenter: parent.verticalCenter
                }
            }
            StoreButton {
                objectName: "mockPay"
                anchors.horizontalCenter: parent.horizontalCenter
                visible: root.hasOrder && !root.order.live
                enabled: !Store.checkoutBusy
                text: "模拟支付成功（演示）"
                onClicked: Store.mockPay()
            }
            Row {
                anchors.horizontalCenter: parent.horizontalCenter
                spacing: 14
                StoreButton {
                    objectName: "orderPaid"
                    kind: "plain"
                    text: "我已完成支付"
                    onClicked: Store.pollCheckout()
                }
                StoreButton {
                    objectName: "orderCancel"
                    kind: "plain"
                    tint: Theme.secondary
                    text: "取消"
                    onClicked: flow.close()
                }
            }
        }

        StoreLabel {
            objectName: "checkoutError"
            visible: Store.checkoutError !== ""
            width: parent.width
            text: Store.checkoutError
            size: 11.5
            color: Theme.red
            wrapMode: Text.Wrap
        }

        StoreLabel {
            objectName: "checkoutFooter"
            visible: !root.hasOrder
            width: parent.width
            text: "赞助所得用于带宽与实机测试设备，到期自动失效，不自动续费。"
            size: 10.1
            color: Theme.tertiary
            wrapMode: Text.Wrap
        }
    }
}
