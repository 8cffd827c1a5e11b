import QtQuick
import QtQuick.Controls
import QtQuick.Layouts

// What the store window is measured against: a window of the same size with Controls and Chinese text.
ApplicationWindow {
    width: 1180
    height: 780
    visible: true
    title: "Vexlo工具箱"
    font.family: "Noto Sans CJK SC"
    font.pixelSize: 13

    ColumnLayout {
        anchors.centerIn: parent
        spacing: 12
        Label {
            text: "精选推荐"
            font.pixelSize: 26
            font.bold: true
        }
        Label {
            text: "为你的 Mac 挑选的好软件，每周更新。"
        }
        Button {
            text: "查看全部"
        }
    }
}
