import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Vexlo.Components

// The panel behind the menu bar item: the menu bar feature's quick search when it is built, until then a
// way into the store window.
Window {
    id: panel
    objectName: "trayPanel"
    readonly property url extraView: "qrc:/qt/qml/Vexlo/MenuBar/MenuExtraView.qml"
    readonly property bool extraBuilt: Shell.hasPage(String(extraView))

    width: 300
    height: extraBuilt && extra.item ? extra.item.implicitHeight : 160
    flags: Qt.Tool | Qt.FramelessWindowHint | Qt.WindowStaysOnTopHint
    color: Theme.background
    onActiveChanged: if (!active) visible = false

    // The quick search panel of the menu bar feature, when it is part of the program.
    Loader {
        id: extra
        anchors.fill: parent
        active: panel.extraBuilt
        source: panel.extraBuilt ? panel.extraView : ""
    }

    ColumnLayout {
        visible: !panel.extraBuilt
        anchors.fill: parent
        anchors.margins: 14
        spacing: 10
        StoreLabel {
            text: "Vexlo工具箱"
            size: 12.4
            font.weight: Font.DemiBold
        }
        StoreLabel {
            Layout.fillWidth: true
            text: "快速搜索即将上线。"
            size: 11
            color: Theme.secondary
        }
        Item { Layout.fillHeight: true }
        RowLayout {
            Button {
                text: "打开商店"
                onClicked: {
                    panel.visible = false
                    Shell.showStoreWindow()
                }
            }
            Item { Layout.fillWidth: true }
            Button {
                text: "退出"
                onClicked: Qt.quit()
            }
        }
    }
}
