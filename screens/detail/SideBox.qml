import QtQuick
import Vexlo.Components

// A titled, bordered panel of the detail page's side column.
Rectangle {
    id: root
    property string title
    default property alias content: body.data

    implicitHeight: column.implicitHeight + 22
    radius: 10
    color: Theme.card
    border.width: 1
    border.color: Theme.hairline

    Column {
        id: column
        x: 11
        y: 11
        width: root.width - 22
        spacing: 7
        StoreLabel {
            objectName: "sideBoxTitle"
            text: root.title
            size: 11.5
            font.weight: Font.DemiBold
            color: Theme.secondary
        }
        Column {
            id: body
            width: parent.width
            spacing: 6
        }
    }
}
