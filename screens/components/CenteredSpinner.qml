import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Vexlo.Components

// A spinner centred in the content area, with an optional line of text below it.
Item {
    id: root
    property string text: ""

    ColumnLayout {
        anchors.centerIn: parent
        spacing: 10
        BusyIndicator {
            Layout.alignment: Qt.AlignHCenter
            running: root.visible
        }
        Label {
            objectName: "spinnerText"
            Layout.alignment: Qt.AlignHCenter
            visible: root.text !== ""
            text: root.text
            font.pixelSize: 13
            color: Theme.subdued
        }
    }
}
