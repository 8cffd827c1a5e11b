import QtQuick
import QtQuick.Controls
import Vexlo.Components
import Vexlo.Software
import Vexlo.Store

// 软件管理: the applications installed on this Mac with icon, version and size, a marker where the store has a
// newer version, and removal to the Trash. Everything here lives only while the page is shown; every showing
// scans afresh.
Item {
    id: root
    objectName: "softwareManagerView"

    property alias apps: appList
    property alias list: list
    // The folders to scan; empty for the page's own (the seeded samples off macOS).
    property alias roots: appList.roots
    // The localApp whose uninstall sheet is open, or null.
    property var uninstallTarget: null
    // The open UninstallSheet, or null.
    readonly property var sheet: sheetLoader.item
    property string toast: ""
    readonly property int toastMilliseconds: 1800
    // Whether showing the page starts a scan by itself.
    property bool autoScan: true
    // The Library searched for an uninstalled app's leftovers; empty for the user's own.
    property string library: ""
    // Whether updates are also looked for beyond the home lists (the store's search, developers' feeds).
    property bool checkOnline: true

    function openUpdate(storeApp) {
        Navigator.showSection("discover")
        Navigator.openApp(storeApp.slug)
    }
    function showToast(text) {
        toast = text
        toastTimer.restart()
    }

    // The spinner turns only once a scan has lasted a moment: a quick scan would just flash it, and each of its
    // frames redraws the window while the bundles are being measured.
    property bool longScan: false

    SoftwareListModel {
        id: appList
        objectName: "softwareApps"
        home: Store.home
        checkOnline: root.checkOnline
        onScanningChanged: if (!appList.scanning) root.longScan = false
        // Fetched apps learn where their bundle is.
        onScanFinished: Store.recordLocations(appList.locations())
    }
    Component.onCompleted: if (autoScan) appList.scan()

    Timer {
        interval: 400
        running: appList.scanning
        onTriggered: root.longScan = true
    }

    Timer {
        id: toastTimer
        interval: root.toastMilliseconds
        onTriggered: root.toast = ""
    }

    Rectangle {
        anchors.fill: parent
        color: Theme.background
    }

    ListView {
        id: list
        objectName: "softwareList"
        anchors.fill: parent
        model: appList
        clip: true
        // No rows are made ahead off screen, so icons load only for the rows shown.
        cacheBuffer: 0
        boundsBehavior: Flickable.StopAtBounds
        ScrollBar.vertical: ScrollBar {}

        // Qt 6.4 creates no bound component in a ListView header or footer or in a Loader, so this file cannot use
        // "pragma ComponentBehavior: Bound", and qmllint takes ids used inside the components below as unqualified.
        // qmllint disable unqualified
        header: Column {
            width: list.width
            topPadding: 26
            bottomPadding: 16
            spacing: 14

            PageHeader {
                x: 26
                width: parent.width - 52
                eyebrow: "软件管理"
                title: "本机已装软件"
                subtitle: "扫描 /Applications，显示版本与体积，有新版可更新，已装的能卸载"
            }
            Row {
                x: 26
                visible: appList.sampleApps
                spacing: 6
                SymbolIcon {
                    anchors.verticalCenter: parent.verticalCenter
                    name: "exclamationmark.triangle.fill"
                    size: 13
                    color: Theme.caution
                }
                StoreLabel {
                    objectName: "sampleNote"
                    anchors.verticalCenter: parent.verticalCenter
                    text: "这台电脑不是 Mac：下面是自带的示例应用，卸载只会把示例副本移到废纸篓。"
                    size: 11.5
                    color: Theme.secondary
                }
            }
            Item {
                x: 26
                width: parent.width - 52
                height: rescan.implicitHeight
                Row {
                    spacing: 10
                    anchors.verticalCenter: parent.verticalCenter
                    SoftwareButton {
                        id: rescan
                        objectName: "rescanButton"
                        prominent: true
                        tint: Theme.accent
                        symbol: "arrow.clockwise"
                        text: "重新扫描"
                        enabled: !appList.scanning
                        onClicked: appList.scan()
                    }
                    BusyIndicator {
                        objectName: "scanSpinner"
                        anchors.verticalCenter: parent.verticalCenter
                        width: 18
                        height: 18
                        visible: appList.scanning
                        running: root.longScan
                    }
                    StoreLabel {
                        objectName: "scanningText"
                        anchors.verticalCenter: parent.verticalCenter
                        visible: appList.scanning
                        text: "扫描中…"
                        size: 11.5
                        color: Theme.secondary
                    }
                }
                Row {
                    anchors.right: count.left
                    anchors.rightMargin: 14
                    anchors.verticalCenter: parent.verticalCenter
                    spacing: 6
                    visible: appList.checkText !== ""
                    BusyIndicator {
                        anchors.verticalCenter: parent.verticalCenter
                        width: 14
                        height: 14
                        visible: appList.checking
                        running: appList.checking
                    }
                    StoreLabel {
                        objectName: "checkText"
                        anchors.verticalCenter: parent.verticalCenter
                        text: appList.checkText
                        size: 11
                        color: appList.checking ? Theme.tertiary : Theme.caution
                    }
                }
                StoreLabel {
                    id: count
                    objectName: "appCount"
                    anchors.right: parent.right
                    anchors.verticalCenter: parent.verticalCenter
                    text: appList.count + " 个应用"
                    size: 11.5
                    color: Theme.tertiary
                }
            }
        }

        // Each row draws its part of the card, so only the rows on screen exist (and load icons).
        delegate: Item {
            id: slot
            required property int index
            required property var app
            required property string name
            required property string version
            required property string sizeText
            required property string bundlePath
            required property var storeApp
            required property bool hasUpdate
            required property string storeVersion
            required property string updateSource
            required property string updateVerdict
            required property string updateRequires
            required property string updatePage
            readonly property bool first: index === 0
            readonly property bool last: index === appList.count - 1

            width: list.width
            height: row.implicitHeight + 1
            clip: true

            Rectangle {
                x: 26
                width: parent.width - 52
                y: slot.first ? 0 : -20
                height: parent.height + (slot.first ? 0 : 20) + (slot.last ? 0 : 20)
                radius: 10
                color: Theme.card
                border.width: 0.7
                border.color: Theme.hairline
            }
            AppRow {
                id: row
                x: 26
                width: parent.width - 52
                app: slot.app
                name: slot.name
                version: slot.version
                sizeText: slot.sizeText
                bundlePath: slot.bundlePath
                storeApp: slot.storeApp
                hasUpdate: slot.hasUpdate
                storeVersion: slot.storeVersion
                updateSource: slot.updateSource
                updateVerdict: slot.updateVerdict
                updateRequires: slot.updateRequires
                updatePage: slot.updatePage
                onUpdateRequested: (storeApp) => root.openUpdate(storeApp)
                onPageRequested: (url) => appList.openPage(url)
                onUninstallRequested: root.uninstallTarget = slot.app
            }
            Rectangle {
                visible: !slot.last
                x: 26 + 54
                y: row.height
                width: parent.width - 52 - 54
                height: 1
                color: Theme.hairline
            }
        }

        footer: Item {
            width: list.width
            height: 26
        }
        // qmllint enable unqualified
    }

    Column {
        objectName: "softwareEmpty"
        anchors.centerIn: parent
        anchors.verticalCenterOffset: list.headerItem ? list.headerItem.height / 2 : 0
        visible: appList.count === 0 && !appList.scanning
        spacing: 10
        SymbolIcon {
            anchors.horizontalCenter: parent.horizontalCenter
            name: "square.stack.3d.down.right"
            size: 30
            font.weight: Font.Light
            color: Theme.secondary
        }
        StoreLabel {
            objectName: "softwareEmptyText"
            anchors.horizontalCenter: parent.horizontalCenter
            text: "点击「重新扫描」开始"
            size: 13
            font.weight: Font.Medium
            color: Theme.secondary
        }
    }

    Loader {
        id: sheetLoader
        objectName: "uninstallSheetLoader"
        active: root.uninstallTarget !== null
        // qmllint disable unqualified
        sourceComponent: UninstallSheet {
            target: root.uninstallTarget
            library: root.library
            onDone: (cleaned) => {
                appList.remove(target.id)
                root.showToast(cleaned > 0 ? "已卸载 " + target.name + "，并清理 " + cleaned + " 项残留文件"
                                           : "已卸载 " + target.name)
            }
            onClosed: root.uninstallTarget = null
            Component.onCompleted: open()
        }
        // qmllint enable unqualified
    }

    Item {
        id: capsule
        objectName: "softwareToast"
        readonly property bool showing: root.toast !== ""
        property string shownText: ""
        width: toastLabel.implicitWidth + 28
        height: toastLabel.implicitHeight + 14
        x: (root.width - width) / 2
        y: root.height - height - 16
        opacity: showing ? 1 : 0
        visible: opacity > 0
        Behavior on opacity { NumberAnimation { duration: 220; easing.type: Easing.OutCubic } }
        Connections {
            target: root
            function onToastChanged() { if (root.toast !== "") capsule.shownText = root.toast }
        }

        SoftShadow {
            anchors.fill: parent
            radius: height / 2
            blur: 10
            offsetY: 3
            opacity0: 0.12
            color: Theme.shade(1)
        }
        Rectangle {
            anchors.fill: parent
            radius: height / 2
            color: Theme.toastFill
            border.width: 1
            border.color: Theme.hairline
        }
        StoreLabel {
            id: toastLabel
            objectName: "softwareToastText"
            anchors.centerIn: parent
            text: capsule.shownText
            size: 11.5
            font.weight: Font.Medium
        }
    }
}
