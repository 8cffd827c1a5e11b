import QtQuick
import Vexlo.Components
import QtQuick.Controls
import QtQuick.Layouts
import Vexlo.Window

// The body of a sheet whose screen is not built yet: its title and a way to close it.
Item {
    id: root
    objectName: "sheetPlaceholder"
    property string title: ""
    signal closeRequested()

    implicitWidth: 400
    implicitHeight: 240

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 20
        spacing: 16

        PlaceholderPage {
            Layout.fillWidth: true
            Layout.fillHeight: true
            title: root.title
        }
        Button {
            objectName: "sheetClose"
            Layout.alignment: Qt.AlignHCenter
            text: "关闭"
            onClicked: root.closeRequested()
        }
    }
}
