import QtQuick
import Vexlo.Components

// One cell of the detail page's information strip: the label, upper-cased, above the value.
Column {
    id: root
    property string label
    property string value
    spacing: 3

    StoreLabel {
        objectName: "infoLabel"
        width: root.width
        text: root.label.toUpperCase()
        size: 9.6
        font.weight: Font.DemiBold
        color: Theme.tertiary
        horizontalAlignment: Text.AlignHCenter
        elide: Text.ElideRight
    }
    StoreLabel {
        objectName: "infoValue"
        width: root.width
        text: root.value
        size: 12.4
        font.weight: Font.DemiBold
        horizontalAlignment: Text.AlignHCenter
        elide: Text.ElideRight
    }
}
