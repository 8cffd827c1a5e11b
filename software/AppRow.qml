import QtQuick
import Vexlo.Components
import Vexlo.Software

// One installed application: icon, name with the new-version badge, version and size, and its buttons.
// The properties match the roles of SoftwareListModel, so the row is the list's delegate as it stands.
Item {
    id: row
    required property var app
    required property string name
    required property string version
    required property string sizeText
    required property string bundlePath
    // The matched store entry (a storeApp) or undefined; hasUpdate when a newer version was found, from the
    // store (storeApp) or from the developer (updatePage).
    required property var storeApp
    required property bool hasUpdate
    required property string storeVersion
    // "store-home", "store-search" or "developer"; with a store update, whether this Mac can run it.
    required property string updateSource
    required property string updateVerdict
    required property string updateRequires
    required property string updatePage
    readonly property bool fromDeveloper: updateSource === "developer"

    signal updateRequested(var storeApp)
    signal pageRequested(string url)
    signal uninstallRequested()

    readonly property real rowHeight: 38 + 2 * 9
    implicitHeight: rowHeight
    implicitWidth: 520

    AppIconFromFile {
        id: icon
        objectName: "appRowIcon"
        x: 16
        anchors.verticalCenter: parent.verticalCenter
        bundlePath: row.bundlePath
        size: 38
    }

    Column {
        anchors.left: icon.right
        anchors.leftMargin: 12
        anchors.right: buttons.left
        anchors.rightMargin: 12
        anchors.verticalCenter: parent.verticalCenter
        spacing: 3

        Row {
            spacing: 6
            width: parent.width
            StoreLabel {
                objectName: "appRowName"
                anchors.verticalCenter: parent.verticalCenter
                width: Math.min(implicitWidth, parent.width - (badge.active ? badge.width + 6 : 0))
                text: row.name
                size: 12.8
                font.weight: Font.Medium
                elide: Text.ElideRight
            }
            // The badge and the update button exist only on rows with an update: most rows have none, and the
            // first screen of rows is built before the list is drawn.
            Loader {
                id: badge
                active: row.hasUpdate
                visible: active
                anchors.verticalCenter: parent.verticalCenter
                // Qt 6.4 makes no bound component in a Loader, so qmllint takes the ids used inside as unqualified.
                // qmllint disable unqualified
                sourceComponent: Rectangle {
                    objectName: "appRowBadge"
                    width: badgeText.implicitWidth + 10
                    height: badgeText.implicitHeight + 4
                    radius: 4
                    color: Theme.tint(Theme.orange, 0.16)
                    StoreLabel {
                        id: badgeText
                        objectName: "appRowBadgeText"
                        anchors.centerIn: parent
                        text: "有新版 v" + row.storeVersion + (row.fromDeveloper ? "（开发者）" : "")
                        size: 9
                        font.bold: true
                        color: Theme.orange
                    }
                }
                // qmllint enable unqualified
            }
        }
        Row {
            spacing: 8
            StoreLabel {
                objectName: "appRowVersion"
                anchors.baseline: sizeLabel.baseline
                text: "v" + row.version
                size: 10
                color: Theme.secondary
            }
            StoreLabel {
                id: sizeLabel
                objectName: "appRowSize"
                text: row.sizeText
                size: 9.5
                color: Theme.tertiary
            }
        }
    }

    Row {
        id: buttons
        anchors.right: parent.right
        anchors.rightMargin: 16
        anchors.verticalCenter: parent.verticalCenter
        spacing: 12
        Loader {
            active: row.hasUpdate
            visible: active
            anchors.verticalCenter: parent.verticalCenter
            // qmllint disable unqualified
            sourceComponent: row.fromDeveloper ? pageButton
                           : row.updateVerdict === "intelUnsupported" ? unsupportedNote : updateButton
            // qmllint enable unqualified
        }
        // qmllint disable unqualified
        Component {
            id: updateButton
            // A Rosetta update is still offered; one that needs a newer macOS is shown but cannot be pressed.
            SoftwareButton {
                objectName: "appRowUpdate"
                width: Math.max(74, implicitWidth)
                readonly property bool tooOld: row.updateVerdict === "osTooOld"
                enabled: !tooOld
                prominent: !tooOld
                tint: tooOld ? Theme.secondary : Theme.orange
                symbol: tooOld ? "" : "arrow.triangle.2.circlepath"
                text: tooOld ? row.updateRequires
                             : row.updateVerdict === "needsRosetta" ? "更新（需 Rosetta）" : "更新"
                onClicked: row.updateRequested(row.storeApp)
            }
        }
        Component {
            id: unsupportedNote
            StoreLabel {
                objectName: "appRowUnsupported"
                text: row.updateRequires
                size: 11
                color: Theme.tertiary
            }
        }
        Component {
            id: pageButton
            SoftwareButton {
                objectName: "appRowPage"
                visible: row.updatePage !== ""
                width: 74
                tint: Theme.orange
                symbol: "safari"
                text: "查看"
                onClicked: row.pageRequested(row.updatePage)
            }
        }
        // qmllint enable unqualified
        SoftwareButton {
            objectName: "appRowUninstall"
            width: 74
            tint: Theme.red
            symbol: "trash"
            text: "卸载"
            onClicked: row.uninstallRequested()
        }
    }
}
