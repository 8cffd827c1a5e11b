import QtQuick
import Vexlo.Components

// A centred symbol with a title and a hint, for pages with nothing to list.
Column {
    id: root
    property string icon
    property string title
    property string hint
    property int iconWeight: Font.Normal
    spacing: 8
    topPadding: 36
    bottomPadding: 36

    SymbolIcon {
        anchors.horizontalCenter: parent.horizontalCenter
        name: root.icon
        size: 40
        color: Theme.tertiary
        font.weight: root.iconWeight
    }
    StoreLabel {
        objectName: "emptyTitle"
        anchors.horizontalCenter: parent.horizontalCenter
        text: root.title
        size: 14
        font.weight: Font.DemiBold
        color: Theme.secondary
    }
    StoreLabel {
        objectName: "emptyHint"
        anchors.horizontalCenter: parent.horizontalCenter
        text: root.hint
        size: 11.5
        color: Theme.tertiary
    }
}
