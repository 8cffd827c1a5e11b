import QtQuick
import Vexlo.Components

// A key on the left and its value on the right.
Item {
    id: root
    property string k
    property string v
    implicitHeight: Math.max(key.implicitHeight, value.implicitHeight)

    StoreLabel {
        id: key
        objectName: "sideKey"
        text: root.k
        size: 10.1
        color: Theme.secondary
    }
    StoreLabel {
        id: value
        objectName: "sideValue"
        anchors.right: parent.right
        width: Math.min(implicitWidth, root.width - key.implicitWidth - 6)
        horizontalAlignment: Text.AlignRight
        elide: Text.ElideRight
        text: root.v
        size: 10.1
    }
}
