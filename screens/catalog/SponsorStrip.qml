import QtQuick
import Vexlo.Components
import QtQuick.Controls
import QtQuick.Shapes
import Vexlo.Store
import Vexlo.Catalog

// Invitation to sponsor, for signed-in members without an active sponsorship: the yearly plan (or the
// first plan when there is no yearly one) can be bought right here.
Item {
    id: root
    property var plans: []
    readonly property var plan: {
        if (!plans || plans.length === 0)
            return undefined
        for (let i = 0; i < plans.length; ++i) {
            if (plans[i].slug === "yearly")
                return plans[i]
        }
        return plans[0]
    }
    implicitHeight: Math.max(text.implicitHeight, buttons.implicitHeight) + 44

    GradientBox {
        anchors.fill: parent
        radius: 16
        from: Theme.sponsorStart
        to: Theme.sponsorEnd
    }
    Item {
        anchors.fill: parent
        clip: true
        Shape {
            width: 320
            height: 320
            x: root.width - 260
            y: -200
            ShapePath {
                strokeWidth: -1
                fillGradient: RadialGradient {
                    centerX: 160; centerY: 160; centerRadius: 160
                    focalX: 160; focalY: 160
                    GradientStop { position: 0; color: Theme.tint(Theme.accent, 0.45) }
                    GradientStop { position: 1; color: Theme.tint(Theme.accent, 0) }
                }
                startX: 0; startY: 0
                PathLine { x: 320; y: 0 }
                PathLine { x: 320; y: 320 }
                PathLine { x: 0; y: 320 }
                PathLine { x: 0; y: 0 }
            }
        }
    }

    Column {
        id: text
        x: 24
        anchors.verticalCenter: parent.verticalCenter
        width: parent.width - x - buttons.width - 48
        spacing: 5
        StoreLabel {
            objectName: "sponsorTitle"
            width: parent.width
            text: "赞助一次，全站软件随时取用"
            size: 14.6
            font.bold: true
            color: "white"
            wrapMode: Text.Wrap
        }
        StoreLabel {
            width: parent.width
            text: "不做设备绑定。到期自动失效，不自动续费。"
            size: 11
            color: Theme.light(0.65)
            wrapMode: Text.Wrap
        }
    }

    Row {
        id: buttons
        anchors.right: parent.right
        anchors.rightMargin: 24
        anchors.verticalCenter: parent.verticalCenter
        spacing: 10

        AbstractButton {
            id: planButton
            objectName: "sponsorPlanButton"
            visible: root.plan !== undefined
            hoverEnabled: true
            leftPadding: 16
            rightPadding: 16
            topPadding: 8
            bottomPadding: 8
            text: root.plan !== undefined
                  ? "¥" + PageText.price(root.plan.price) + " " + PageText.period(root.plan.days) + " · 立即赞助"
                  : ""
            background: Rectangle {
                radius: height / 2
                color: planButton.hovered ? Theme.card : Theme.light(0.92)
            }
            contentItem: StoreLabel {
                text: planButton.text
                size: 12
                font.weight: Font.DemiBold
                color: Theme.sponsorInk
                horizontalAlignment: Text.AlignHCenter
                verticalAlignment: Text.AlignVCenter
            }
            onClicked: Navigator.openCheckout(root.plan)
        }
        AbstractButton {
            id: allPlans
            objectName: "sponsorAllPlansButton"
            hoverEnabled: true
            leftPadding: 12
            rightPadding: 12
            topPadding: 8
            bottomPadding: 8
            text: "查看全部方案"
            background: Rectangle {
                radius: height / 2
                color: allPlans.hovered ? Theme.light(0.14) : "transparent"
                border.width: 1
                border.color: Theme.light(0.28)
            }
            contentItem: StoreLabel {
                text: allPlans.text
                size: 12
                color: "white"
                horizontalAlignment: Text.AlignHCenter
                verticalAlignment: Text.AlignVCenter
            }
            onClicked: Navigator.showSection("member")
        }
    }
}
