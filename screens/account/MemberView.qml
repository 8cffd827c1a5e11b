pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Layouts
import Vexlo.Account
import Vexlo.Components
import Vexlo.Store

// The membership page: the account, the sponsorship plans and the rules of time-limited sponsorship.
StorePage {
    id: root
    objectName: "memberView"

    readonly property var home: Store.home
    readonly property var member: Store.member
    readonly property bool signedIn: member !== undefined && member !== null
    readonly property var plans: home ? home.plans : []

    // The order history is loaded each time the page opens for a signed-in member, and once on signing in.
    property bool built: false
    Component.onCompleted: {
        built = true
        if (signedIn)
            Store.loadAccount()
    }
    onSignedInChanged: if (built && signedIn) Store.loadAccount()

    PageHeader {
        width: parent.width
        eyebrow: "账户"
        title: "会员中心"
        subtitle: "赞助时效制 · 到期不自动续费 · 不绑定设备"
    }

    // Account card.
    CardFrame {
        objectName: "accountCard"
        width: parent.width
        height: (root.signedIn ? signedInRow.implicitHeight : signedOutRow.implicitHeight) + 36
        radius: 14

        Row {
            id: signedInRow
            objectName: "signedInCard"
            visible: root.signedIn
            x: 18
            anchors.verticalCenter: parent.verticalCenter
            spacing: 14
            AppIconView {
                size: 52
                glyph: "app"
                accent: Theme.plainAccent
                accent2: Theme.accountAccent2
                anchors.verticalCenter: parent.verticalCenter
            }
            Column {
                anchors.verticalCenter: parent.verticalCenter
                spacing: 4
                StoreLabel {
                    objectName: "memberNickname"
                    text: root.signedIn ? root.member.nickname : ""
                    size: 15.6
                    font.bold: true
                }
                StoreLabel {
                    objectName: "memberEmail"
                    text: root.signedIn ? root.member.email : ""
                    size: 11.5
                    color: Theme.secondary
                }
                Row {
                    spacing: 8
                    StoreLabel {
                        objectName: "memberStatus"
                        readonly property bool active: root.signedIn && root.member.sponsorActive
                        text: !active ? "未赞助" : root.member.forever ? "终身赞助" : "剩余 " + root.member.daysLeft + " 天"
                        size: 12.4
                        font.weight: Font.DemiBold
                        color: active ? Theme.green : Theme.secondary
                    }
                    StoreLabel {
                        objectName: "memberExpires"
                        visible: root.signedIn && root.member.expiresAt !== undefined
                        text: visible ? "至 " + Theme.formatDate(root.member.expiresAt) : ""
                        size: 11.5
                        color: Theme.secondary
                    }
                }
            }
        }

        Item {
            id: signedOutRow
            objectName: "signedOutCard"
            visible: !root.signedIn
            x: 18
            width: parent.width - 36
            implicitHeight: Math.max(signedOutText.implicitHeight, loginButton.implicitHeight)
            anchors.verticalCenter: parent.verticalCenter
            Row {
                id: signedOutText
                spacing: 14
                anchors.verticalCenter: parent.verticalCenter
                SymbolIcon {
                    name: "person.crop.circle.badge.questionmark"
                    size: 40
                    color: Theme.tertiary
                    anchors.verticalCenter: parent.verticalCenter
                }
                Column {
                    anchors.verticalCenter: parent.verticalCenter
                    spacing: 4
                    StoreLabel { text: "尚未登录"; size: 15.6; font.bold: true }
                    StoreLabel { text: "登录后可同步赞助状态与已购项目"; size: 11.5; color: Theme.secondary }
                }
            }
            StoreButton {
                id: loginButton
                objectName: "memberLogin"
                anchors.right: parent.right
                anchors.verticalCenter: parent.verticalCenter
                text: "登录"
                onClicked: Navigator.openLogin()
            }
        }
    }

    SectionBlock {
        objectName: "plansSection"
        width: parent.width
        title: "赞助方案"
        visible: root.plans.length > 0
        GridLayout {
            objectName: "planGrid"
            width: parent.width
            columns: Math.max(1, Math.min(4, root.plans.length))
            columnSpacing: 12
            rowSpacing: 12
            Repeater {
                model: PlanListModel { records: root.plans }
                PlanCard {
                    objectName: "planCard"
                    Layout.fillWidth: true
                    Layout.fillHeight: true
                    Layout.preferredWidth: 1
                }
            }
        }
    }

    // The member's orders, newest first.
    SectionBlock {
        objectName: "ordersSection"
        width: parent.width
        title: "我的订单"
        visible: root.signedIn
        Rectangle {
            width: parent.width
            height: orderList.count > 0 ? orderColumn.implicitHeight + 12 : emptyOrders.implicitHeight + 36
            radius: 12
            color: Theme.card
            border.width: 1
            border.color: Theme.hairline
            StoreLabel {
                id: emptyOrders
                objectName: "ordersEmpty"
                visible: orderList.count === 0
                anchors.centerIn: parent
                text: "还没有订单"
                size: 12
                color: Theme.secondary
            }
            Column {
                id: orderColumn
                x: 16
                y: 6
                width: parent.width - 32
                Repeater {
                    model: OrderListModel {
                        id: orderList
                        objectName: "orderList"
                        records: Store.orders
                    }
                    OrderRow {
                        width: orderColumn.width
                    }
                }
            }
        }
    }

    // The rules of time-limited sponsorship.
    Rectangle {
        objectName: "rulesBox"
        width: parent.width
        height: rules.implicitHeight + 32
        radius: 12
        color: Theme.card
        border.width: 1
        border.color: Theme.hairline
        Column {
            id: rules
            x: 16
            y: 16
            width: parent.width - 32
            spacing: 10
            StoreLabel {
                text: "赞助时效制说明"
                size: 13.1
                font.bold: true
            }
            Repeater {
                model: ListModel {
                    ListElement { topic: "到期行为"; answer: "自动失效，不扣款" }
                    ListElement { topic: "设备绑定"; answer: "不绑定，任意 Mac 可用" }
                    ListElement { topic: "取消流程"; answer: "无需取消，不赞助即结束" }
                    ListElement { topic: "已下载文件"; answer: "继续可用，不受影响" }
                }
                Row {
                    id: rule
                    objectName: "ruleRow"
                    required property string topic
                    required property string answer
                    spacing: 14
                    StoreLabel {
                        objectName: "ruleTopic"
                        width: 90
                        text: rule.topic
                        size: 12
                        font.weight: Font.DemiBold
                    }
                    StoreLabel {
                        objectName: "ruleAnswer"
                        text: rule.answer
                        size: 12
                        color: Theme.secondary
                    }
                }
            }
        }
    }
}
