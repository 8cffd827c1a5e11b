import QtQuick
import QtQuick.Layouts
import Vexlo.Components
import Vexlo.MenuBar

// The panel's first row: the app's icon and name, and the member's sponsorship status when signed in.
RowLayout {
    id: root
    objectName: "menuExtraHeader"
    required property QuickSearch search
    spacing: 8

    AppIconView {
        objectName: "headerIcon"
        glyph: "app"
        accent: Theme.plainAccent
        accent2: Theme.accountAccent2
        size: 22
    }
    StoreLabel {
        objectName: "headerTitle"
        text: "Vexlo工具箱"
        size: 12.4
        font.weight: Font.DemiBold
    }
    Item { Layout.fillWidth: true }
    Row {
        objectName: "memberStatus"
        visible: root.search.memberShown
        spacing: 5
        Rectangle {
            objectName: "statusDot"
            anchors.verticalCenter: parent.verticalCenter
            width: 5
            height: 5
            radius: 2.5
            color: root.search.sponsorActive ? Theme.green : Theme.secondary
            opacity: root.search.sponsorActive ? 1 : 0.5
        }
        StoreLabel {
            objectName: "statusText"
            anchors.verticalCenter: parent.verticalCenter
            text: root.search.memberStatus
            size: 10.1
            color: Theme.secondary
        }
    }
}
