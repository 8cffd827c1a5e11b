pragma ComponentBehavior: Bound
import QtQuick

import QtQuick.Controls
import QtQuick.Layouts
import Vexlo.Components
import Vexlo.Device
import Vexlo.Store

// 我的设备: runs the device check on this Mac, shows the facts as they arrive, the score and the cross-checks,
// copies the report and guides the hands-on checks.
Item {
    id: root
    objectName: "deviceView"

    property DeviceCheck check: DeviceCheck {}
    // Whether the first showing starts a check by itself (a picture of the start card turns it off).
    property bool autoStart: true
    // The hands-on card and the scrolling area, set as the cards are built.
    property HandsOnCard handsOn: null
    property Flickable flickable: null
    property alias exportPreview: exportPreview
    readonly property bool finished: check.started && !check.running
    readonly property bool hasIdentity: check.identity !== undefined && check.identity !== null
    // The check's bars and sample list as plain script values, read by key and searched below.
    readonly property var storageBar: check.storageBar
    readonly property var batteryBar: check.batteryBar
    readonly property var profiles: check.profiles

    function statusColor(status) {
        switch (status) {
        case "ok": return Theme.good
        case "warn": return Theme.caution
        case "bad": return Theme.danger
        }
        return Theme.tertiary
    }
    function copyReport() {
        if (check.copyReport())
            Store.showToast("报告已复制")
    }
    function exportImage() {
        const path = check.exportImage()
        if (path === "") {
            Store.showToast("图片没有保存成功，请检查图片文件夹能否写入")
            return
        }
        Store.showToast("图片已保存并复制到剪贴板")
        exportPreview.open()
    }

    Connections {
        target: root.check
        function onFirmwareNotRead() {
            Store.showToast("没有读到固件密码：已取消，或没有输入管理员密码")
        }
    }

    // The exported picture, as it was saved.
    Popup {
        id: exportPreview
        objectName: "exportPreview"
        parent: Overlay.overlay
        anchors.centerIn: parent
        modal: true
        padding: 18
        width: Math.min(460, root.width - 40)
        height: Math.min(previewColumn.implicitHeight + 36, root.height - 40)
        background: Rectangle { radius: 14; color: Theme.card; border.width: 1; border.color: Theme.hairline }
        ColumnLayout {
            id: previewColumn
            anchors.fill: parent
            spacing: 10
            RowLayout {
                spacing: 8
                SymbolIcon { name: "photo"; size: 16; color: Theme.accent }
                StoreLabel { text: "已导出图片"; size: 14; font.bold: true }
                Item { Layout.fillWidth: true }
                DeviceButton {
                    objectName: "closePreview"
                    flat: true
                    text: "关闭"
                    onClicked: exportPreview.close()
                }
            }
            Image {
                objectName: "exportedImage"
                Layout.fillWidth: true
                Layout.fillHeight: true
                Layout.preferredHeight: width * (implicitHeight > 0 ? implicitHeight / Math.max(1, implicitWidth) : 1.4)
                fillMode: Image.PreserveAspectFit
                cache: false
                asynchronous: true
                source: exportPreview.opened && root.check.exportedImage !== "" ? "file://" + root.check.exportedImage : ""
            }
            StoreLabel {
                objectName: "exportedPath"
                Layout.fillWidth: true
                text: "已保存到 " + root.check.exportedImage + "，并已复制到剪贴板，可直接粘贴到二手平台。"
                color: Theme.secondary
                size: 11.5
                wrapMode: Text.WrapAnywhere
            }
        }
    }

    // The first time the page is shown it checks by itself; later visits keep what was found. The check
    // starts before the cards are built, so building them (on a first opening also loading the fonts and
    // controls they use) goes on while the first tools run instead of ahead of them.
    Component.onCompleted: {
        if (autoStart && !check.started)
            check.runAll(false)
        check.loadOsVersion()
        cards.createObject(root)
    }

    Component {
        id: cards
        Item {
            anchors.fill: parent
            Component.onCompleted: {
                root.handsOn = handsOnCard
                root.flickable = page.flickable
            }

            Rectangle {
                anchors.fill: parent
                color: Theme.background
            }

            // Top bar: title, where the run is, and a fresh check that ignores the seven-day cache.
            Rectangle {
                id: topBar
                objectName: "deviceTopBar"
                anchors { left: parent.left; right: parent.right; top: parent.top }
                height: 52
                color: Theme.card
                Rectangle {
                    anchors { left: parent.left; right: parent.right; bottom: parent.bottom }
                    height: 1
                    color: Theme.hairline
                }
                RowLayout {
                    anchors { fill: parent; leftMargin: 22; rightMargin: 18 }
                    spacing: 8
                    SymbolIcon { name: "desktopcomputer"; size: 18; color: Theme.accent }
                    StoreLabel { text: "设备信息"; size: 15; font.bold: true }
                    Item { Layout.fillWidth: true }
                    BusyIndicator {
                        objectName: "statusSpinner"
                        visible: root.check.running
                        running: visible
                        Layout.preferredWidth: 18
                        Layout.preferredHeight: 18
                    }
                    StoreLabel {
                        objectName: "statusText"
                        text: root.check.statusText
                        color: Theme.secondary
                    }
                    DeviceButton {
                        objectName: "refreshButton"
                        symbol: "arrow.clockwise"
                        text: "重新检测"
                        enabled: !root.check.running
                        onClicked: root.check.runAll(true)
                    }
                }
            }

            StorePage {
                id: page
                objectName: "devicePage"
                anchors { left: parent.left; right: parent.right; top: topBar.bottom; bottom: parent.bottom }
                topMargin: 18
                spacing: 14

                // Off macOS the facts are a bundled sample Mac, and the page says so.
                CardFrame {
                    objectName: "sampleNote"
                    visible: root.check.profiles.length > 0
                    width: page.contentWidth
                    height: sampleRow.implicitHeight + 24
                    RowLayout {
                        id: sampleRow
                        anchors { fill: parent; margins: 12; leftMargin: 16 }
                        spacing: 10
                        SymbolIcon { name: "exclamationmark.triangle.fill"; size: 16; color: Theme.caution }
                        StoreLabel {
                            Layout.fillWidth: true
                            text: "这台电脑不是 Mac，下面显示的是示例机器的数据，不是本机。"
                            wrapMode: Text.Wrap
                        }
                        StoreLabel { text: "示例机器"; color: Theme.secondary }
                        ComboBox {
                            objectName: "profilePicker"
                            model: root.check.profiles
                            displayText: root.check.profileTitle(root.check.profile)
                            currentIndex: root.profiles.indexOf(root.check.profile)
                            implicitWidth: 230
                            delegate: ItemDelegate {
                                required property string modelData
                                width: ListView.view.width
                                text: root.check.profileTitle(modelData)
                            }
                            onActivated: index => root.check.profile = root.check.profiles[index]
                        }
                    }
                }

                // Not started: what the check does.
                CardFrame {
                    objectName: "startCard"
                    visible: !root.check.started
                    width: page.contentWidth
                    height: 230
                    ColumnLayout {
                        anchors.centerIn: parent
                        width: parent.width - 60
                        spacing: 10
                        SymbolIcon {
                            Layout.alignment: Qt.AlignHCenter
                            name: "checklist"
                            size: 40
                            color: Theme.accent
                        }
                        StoreLabel {
                            Layout.alignment: Qt.AlignHCenter
                            text: "体检这台 Mac"
                            size: 18
                            font.bold: true
                        }
                        StoreLabel {
                            Layout.fillWidth: true
                            horizontalAlignment: Text.AlignHCenter
                            text: "逐项读取硬件信息并做交叉校验。全部在本机完成，不联网、不上传。"
                            color: Theme.secondary
                            wrapMode: Text.Wrap
                        }
                        DeviceButton {
                            objectName: "startButton"
                            Layout.alignment: Qt.AlignHCenter
                            prominent: true
                            text: "开始体检"
                            onClicked: root.check.runAll(false)
                        }
                    }
                }

                // The machine, its verdict and score; a placeholder until the identity is read.
                CardFrame {
                    objectName: root.hasIdentity ? "deviceCard" : "devicePlaceholder"
                    visible: root.check.started
                    width: page.contentWidth
                    height: 132
                    StoreLabel {
                        visible: !root.hasIdentity
                        anchors.centerIn: parent
                        text: "读取中…"
                        color: Theme.secondary
                    }
                    RowLayout {
                        visible: root.hasIdentity
                        anchors { fill: parent; margins: 18; leftMargin: 24 }
                        spacing: 22
                        DevicePicture {
                            kind: root.check.deviceKind
                            Layout.preferredWidth: 120
                            Layout.preferredHeight: 90
                        }
                        ColumnLayout {
                            Layout.fillWidth: true
                            spacing: 6
                            StoreLabel {
                                objectName: "modelName"
                                text: root.hasIdentity ? root.check.identity.modelName : ""
                                size: 19
                                font.bold: true
                            }
                            StoreLabel {
                                objectName: "verdict"
                                Layout.fillWidth: true
                                text: root.finished ? root.check.verdict : "正在体检…"
                                color: root.finished ? Theme.text : Theme.secondary
                                size: 14
                                wrapMode: Text.Wrap
                            }
                        }
                        StoreLabel {
                            objectName: "scoreText"
                            visible: root.finished
                            text: "体检 " + root.check.score + " 分"
                            size: 22
                            font.bold: true
                            color: root.statusColor(root.check.scoreLevel)
                        }
                    }
                }

                // Identity cells, the indicator cells and the battery line.
                CardFrame {
                    objectName: "identityCard"
                    visible: root.hasIdentity
                    width: page.contentWidth
                    height: identityColumn.implicitHeight + 32
                    ColumnLayout {
                        id: identityColumn
                        anchors { left: parent.left; right: parent.right; top: parent.top; margins: 16; leftMargin: 18 }
                        spacing: 12
                        RowLayout {
                            spacing: 8
                            SymbolIcon { name: "laptopcomputer"; size: 16; color: Theme.accent }
                            StoreLabel { text: "整机信息"; size: 14; font.bold: true }
                            Item { Layout.fillWidth: true }
                            DeviceButton {
                                objectName: "showAllToggle"
                                flat: true
                                text: root.check.showAll ? "收起" : "全部指标"
                                onClicked: root.check.showAll = !root.check.showAll
                            }
                        }
                        GridLayout {
                            objectName: "cellGrid"
                            Layout.fillWidth: true
                            columns: Math.max(1, Math.floor(width / 190))
                            rowSpacing: 8
                            columnSpacing: 8
                            Repeater {
                                model: DeviceCellModel { records: root.check.cells }
                                delegate: Rectangle {
                                    id: cell
                                    required property string key
                                    required property string label
                                    required property string value
                                    required property string flag
                                    required property string status
                                    objectName: "cell_" + key
                                    Layout.fillWidth: true
                                    Layout.preferredHeight: 54
                                    radius: 8
                                    color: Theme.background
                                    Column {
                                        anchors { left: parent.left; right: parent.right; verticalCenter: parent.verticalCenter
                                                  leftMargin: 12; rightMargin: 10 }
                                        spacing: 3
                                        StoreLabel { text: cell.label; size: 11; color: Theme.secondary }
                                        Row {
                                            width: parent.width
                                            spacing: 6
                                            StoreLabel {
                                                objectName: "cellValue"
                                                width: Math.min(implicitWidth, parent.width - (flag.visible ? flag.width + 6 : 0))
                                                text: cell.value
                                                size: 13
                                                font.weight: Font.DemiBold
                                                elide: Text.ElideRight
                                                color: cell.status === "info" || cell.status === "ok"
                                                    ? Theme.text : root.statusColor(cell.status)
                                            }
                                            StoreLabel {
                                                id: flag
                                                objectName: "cellFlag"
                                                visible: cell.flag !== ""
                                                text: cell.flag
                                                size: 11
                                                color: cell.status === "info" ? Theme.secondary : root.statusColor(cell.status)
                                            }
                                        }
                                    }
                                }
                            }
                        }
                        RowLayout {
                            objectName: "batteryLine"
                            spacing: 6
                            SymbolIcon { name: "bolt.fill"; size: 14; color: root.statusColor(root.batteryBar.status) }
                            StoreLabel { text: root.check.batteryLine; color: root.statusColor(root.batteryBar.status) }
                        }
                    }
                }

                // Capacity bars.
                RowLayout {
                    visible: root.hasIdentity
                    width: page.contentWidth
                    spacing: 14
                    CapacityBar {
                        objectName: "storageBar"
                        Layout.fillWidth: true
                        title: "系统盘已用"
                        bar: root.check.storageBar
                        fill: root.storageBar.status === "bad" ? Theme.danger : Theme.accent
                    }
                    CapacityBar {
                        objectName: "batteryBar"
                        Layout.fillWidth: true
                        title: "电池健康"
                        bar: root.check.batteryBar
                        fill: root.statusColor(root.batteryBar.status)
                    }
                }

                // Cross-checks, or a placeholder while the sections are still being read.
                CardFrame {
                    objectName: "crossPlaceholder"
                    visible: root.check.running && root.check.checks.length === 0
                    width: page.contentWidth
                    height: 58
                    RowLayout {
                        anchors.centerIn: parent
                        spacing: 8
                        BusyIndicator { Layout.preferredWidth: 18; Layout.preferredHeight: 18; running: parent.visible }
                        StoreLabel { text: "正在做交叉校验…"; color: Theme.secondary }
                    }
                }
                CardFrame {
                    objectName: "crossCard"
                    visible: root.check.checks.length > 0
                    width: page.contentWidth
                    height: crossColumn.implicitHeight + 32
                    ColumnLayout {
                        id: crossColumn
                        anchors { left: parent.left; right: parent.right; top: parent.top; margins: 16; leftMargin: 18 }
                        spacing: 8
                        RowLayout {
                            spacing: 8
                            SymbolIcon { name: "checkmark.shield"; size: 16; color: Theme.accent }
                            StoreLabel { text: "交叉校验"; size: 14; font.bold: true }
                            Item { Layout.fillWidth: true }
                            StoreLabel {
                                objectName: "crossSummary"
                                text: root.check.crossSummary
                                color: text === "全部通过" ? Theme.good : Theme.secondary
                            }
                        }
                        Repeater {
                            model: CrossCheckModel { records: root.check.checks }
                            delegate: StatusRow {
                                required label
                                required detail
                                required property string result
                                required property string status
                                Layout.fillWidth: true
                                objectName: "crossRow"
                                dot: root.statusColor(status)
                                value: result
                            }
                        }
                    }
                }

                // The case serial against the system serial.
                BuyerCard {
                    objectName: "buyerCard"
                    visible: root.hasIdentity
                    width: page.contentWidth
                    check: root.check
                }

                // The metric sections in arrival order, and what is being read while fewer than all are in.
                Repeater {
                    model: root.check.sectionModel
                    delegate: CardFrame {
                        id: section
                        required property string sectionId
                        required property string title
                        required property string icon
                        required property var metrics
                        objectName: "section_" + sectionId
                        width: page.contentWidth
                        height: sectionColumn.implicitHeight + 32
                        ColumnLayout {
                            id: sectionColumn
                            anchors { left: parent.left; right: parent.right; top: parent.top; margins: 16; leftMargin: 18 }
                            spacing: 8
                            RowLayout {
                                spacing: 8
                                SymbolIcon { name: section.icon; size: 16; color: Theme.accent }
                                StoreLabel { text: section.title; size: 14; font.bold: true }
                            }
                            Repeater {
                                model: DeviceMetricModel { records: section.metrics }
                                delegate: StatusRow {
                                    required label
                                    required value
                                    required detail
                                    required property string key
                                    required property string status
                                    Layout.fillWidth: true
                                    objectName: "metric_" + key
                                    dot: root.statusColor(status)
                                }
                            }
                            // The firmware password needs the administrator password, asked for by the system.
                            DeviceButton {
                                objectName: section.sectionId === "management" ? "firmwareButton" : ""
                                visible: section.sectionId === "management"
                                         && (root.check.firmwareCheckable || root.check.firmwareChecking)
                                enabled: !root.check.firmwareChecking
                                symbol: "lock.fill"
                                text: root.check.firmwareChecking ? "正在读取固件密码…" : "检查固件密码（需管理员密码）"
                                Accessible.name: "检查固件密码"
                                onClicked: root.check.checkFirmware()
                            }
                        }
                    }
                }
                StoreLabel {
                    objectName: "progressLine"
                    visible: text !== ""
                    text: root.check.progressText
                    color: Theme.secondary
                }

                // What needs attention.
                CardFrame {
                    objectName: "issueBar"
                    visible: root.finished && root.check.issues.length > 0
                    width: page.contentWidth
                    height: issueColumn.implicitHeight + 28
                    RowLayout {
                        anchors { fill: parent; margins: 14; leftMargin: 18 }
                        spacing: 12
                        SymbolIcon {
                            Layout.alignment: Qt.AlignTop
                            name: "exclamationmark.triangle.fill"
                            size: 18
                            color: Theme.caution
                        }
                        Column {
                            id: issueColumn
                            Layout.fillWidth: true
                            spacing: 4
                            Repeater {
                                model: root.check.issues
                                delegate: StoreLabel {
                                    required property string modelData
                                    width: issueColumn.width
                                    text: modelData
                                    wrapMode: Text.Wrap
                                }
                            }
                        }
                    }
                }

                // Earlier checks of this Mac and what changed since.
                HistoryCard {
                    objectName: "historyCard"
                    visible: root.finished
                    width: page.contentWidth
                    check: root.check
                }

                // Shortcuts: details, the store's guides, the report and the picture to share.
                Flow {
                    objectName: "actionRow"
                    visible: root.hasIdentity
                    width: page.contentWidth
                    spacing: 10
                    Repeater {
                        model: ListModel {
                            ListElement { symbol: "bolt.fill"; title: "电池详情"; path: "" }
                            ListElement { symbol: "internaldrive.fill"; title: "存储详情"; path: "/guides/storage-cleanup" }
                            ListElement { symbol: "rectangle.on.rectangle"; title: "坏点检查"; path: "/guides/unboxing-and-check" }
                            ListElement { symbol: "lock.fill"; title: "激活锁"; path: "/guides/unboxing-and-check" }
                            ListElement { symbol: "externaldrive.fill"; title: "备份"; path: "/guides/backup-321" }
                            ListElement { symbol: "square.and.arrow.up"; title: "导出报告"; path: "" }
                            ListElement { symbol: "photo"; title: "导出图片"; path: "" }
                        }
                        delegate: DeviceButton {
                            id: action
                            required symbol
                            required property string title
                            required property string path
                            required property int index
                            objectName: "action_" + index
                            text: action.title
                            enabled: index !== 6 || root.finished
                            onClicked: {
                                if (index === 0)
                                    root.check.showAll = true
                                else if (index === 5)
                                    root.copyReport()
                                else if (index === 6)
                                    root.exportImage()
                                else
                                    Store.openOnWeb(action.path)
                            }
                        }
                    }
                }

                HandsOnCard {
                    id: handsOnCard
                    objectName: "handsOnCard"
                    visible: root.hasIdentity
                    width: page.contentWidth
                    check: root.check
                }

                // When and what was checked.
                RowLayout {
                    objectName: "footer"
                    visible: root.finished
                    width: page.contentWidth
                    spacing: 10
                    StoreLabel {
                        objectName: "footerText"
                        text: root.check.footerText
                        color: Theme.secondary
                        size: 11.5
                    }
                    StoreLabel { text: "仅供参考"; color: Theme.tertiary; size: 11.5 }
                    Item { Layout.fillWidth: true }
                    DeviceButton {
                        objectName: "webCheckButton"
                        flat: true
                        symbol: "safari"
                        text: "网页版体检"
                        onClicked: Store.openOnWeb("/tools/mac-check")
                    }
                }
            }
        }
    }
}
