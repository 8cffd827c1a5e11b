import QtQuick
import QtQuick.Controls
import Vexlo.Components
import Vexlo.Detail
import Vexlo.Store

// The detail page's primary action: sponsors-only, fetching, fetch again or get, decided by GetAction.
Column {
    id: root
    property var app
    property bool unlocked: false
    property bool needsSponsor: false
    readonly property alias state: action.kind
    spacing: 5

    GetAction {
        id: action
        slug: root.app ? root.app.slug : ""
        isFree: root.app ? root.app.isFree : false
        unlocked: root.unlocked
        needsSponsor: root.needsSponsor
    }

    StoreButton {
        id: primary
        objectName: "getButton"
        anchors.horizontalCenter: parent.horizontalCenter
        visible: action.kind !== GetAction.Fetching
        text: action.title
        size: 13.1
        onClicked: {
            if (action.kind === GetAction.SponsorOnly)
                Navigator.showSection("member")
            else
                Store.loadNetdisk(root.app)
        }
    }
    Row {
        objectName: "getBusy"
        anchors.horizontalCenter: parent.horizontalCenter
        visible: action.kind === GetAction.Fetching
        spacing: 6
        BusyIndicator {
            implicitWidth: 16
            implicitHeight: 16
            running: parent.visible
            anchors.verticalCenter: parent.verticalCenter
        }
        StoreLabel {
            objectName: "getBusyText"
            text: action.title
            size: 12.4
            color: Theme.secondary
            anchors.verticalCenter: parent.verticalCenter
        }
    }
    StoreButton {
        objectName: "getRecord"
        anchors.horizontalCenter: parent.horizontalCenter
        visible: action.kind === GetAction.Again
        kind: "plain"
        size: 9.6
        tint: Theme.secondary
        text: action.caption
        onClicked: Store.reveal(root.app.slug)
    }
    StoreLabel {
        objectName: "getCaption"
        anchors.horizontalCenter: parent.horizontalCenter
        visible: action.kind === GetAction.SponsorOnly || action.kind === GetAction.Get
        text: action.caption
        size: 9.6
        color: Theme.secondary
    }
}
