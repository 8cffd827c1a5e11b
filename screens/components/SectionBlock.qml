import QtQuick
import Vexlo.Components

// A titled section of a page: the title with an optional subtitle on its baseline, the content below.
Column {
    id: root
    property string title
    property string subtitle
    default property alias content: body.data
    spacing: 11

    Row {
        spacing: 8
        StoreLabel {
            id: heading
            objectName: "sectionTitle"
            text: root.title
            size: 15.6
            font.bold: true
        }
        StoreLabel {
            objectName: "sectionSubtitle"
            visible: root.subtitle.length > 0
            text: root.subtitle
            size: 11
            color: Theme.secondary
            anchors.baseline: heading.baseline
        }
    }
    Item {
        id: body
        width: root.width
        implicitHeight: childrenRect.height
        height: implicitHeight
    }
}
