pragma ComponentBehavior: Bound
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
            model: AppListModel {
                records: root.apps
            }
            Column {
                id: entry
                required property var record
                required property int rank
                width: rows.width
                Rectangle {
                    visible: entry.rank > 1
                    x: 62
                    width: parent.width - x
                    height: 1
                    color: Theme.hairline
                }
                RankRow {
                    objectName: "rankRow"
                    width: parent.width
                    index: entry.rank
                    app: entry.record
                    onClicked: Navigator.openApp(entry.record.slug)
                }
            }
        }
    }
}
