import QtQuick
import Vexlo.Components
import Vexlo.Store
import Vexlo.Catalog

// A bordered list of ranked apps, numbered from 1 and separated by dividers.
CardFrame {
    id: root
    property var apps: []
    implicitHeight: rows.implicitHeight + 2
    height: implicitHeight
    clip: true

    Column {
        id: rows
        x: 1
        y: 1
        width: root.width - 2
        Repeater {
            model: root.apps
            Column {
                width: rows.width
                Rectangle {
                    visible: index > 0
                    x: 62
                    width: parent.width - x
                    height: 1
                    color: Theme.hairline
                }
                RankRow {
                    objectName: "rankRow"
                    width: parent.width
                    index: model.index + 1
                    app: modelData
                    perform: function() { Store.openDetail(modelData.slug) }
                }
            }
        }
    }
}
