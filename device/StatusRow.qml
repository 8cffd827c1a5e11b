import QtQuick

import QtQuick.Layouts
import Vexlo.Components

// One judged row of a card: a status dot, the label, the value and an optional explanation.
RowLayout {
    id: row
    property color dot
    property string label
    property string value
    property string detail
    spacing: 10

    Rectangle {
        Layout.alignment: Qt.AlignTop
        Layout.topMargin: 5
        width: 8
        height: 8
        radius: 4
        color: row.dot
    }
    StoreLabel {
        Layout.alignment: Qt.AlignTop
        Layout.preferredWidth: 110
        text: row.label
        color: Theme.secondary
        elide: Text.ElideRight
    }
    ColumnLayout {
        Layout.fillWidth: true
        spacing: 2
        StoreLabel {
            objectName: "rowValue"
            Layout.fillWidth: true
            text: row.value
            font.weight: Font.DemiBold
            wrapMode: Text.Wrap
        }
        StoreLabel {
            objectName: "rowDetail"
            Layout.fillWidth: true
            visible: row.detail !== ""
            text: row.detail
            size: 11.5
            color: Theme.secondary
            wrapMode: Text.Wrap
        }
    }
}
