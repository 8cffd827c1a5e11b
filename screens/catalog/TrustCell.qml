import QtQuick
import Vexlo.Components
import Vexlo.Catalog

// One promise of the store: an accent icon, a title and a short explanation in a bordered cell.
CardFrame {
    id: root
    property string icon
    property string title
    property string detail
    radius: 10
    implicitHeight: column.implicitHeight + 28

    Column {
        id: column
        x: 14
        y: 14
        width: root.width - 28
        spacing: 5
        SymbolIcon {
            name: root.icon
            size: 15
            color: Theme.accent
        }
        StoreLabel {
            objectName: "trustTitle"
            text: root.title
            size: 11.9
            font.weight: Font.DemiBold
        }
        StoreLabel {
            objectName: "trustDetail"
            width: parent.width
            text: root.detail
            size: 10.5
            color: Theme.secondary
            wrapMode: Text.Wrap
            lineHeight: 1.15
        }
    }
}
