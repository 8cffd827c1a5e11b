import QtQuick
import QtQuick.Controls

// Stands in for a page whose screen is not built yet, so routing can already reach it.
Item {
    id: root
    property string title: ""
    objectName: "placeholderPage"

    Label {
        anchors.centerIn: parent
        text: root.title
        font.pointSize: 18
        color: "#8a8a8e"
    }
}
