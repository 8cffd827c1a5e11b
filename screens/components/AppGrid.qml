pragma ComponentBehavior: Bound
import QtQuick

import Vexlo.Store
import Vexlo.Components

// Apps in three flexible columns, spacing 14; a card opens its app's detail page.
Grid {
    id: root
    property var apps: []
    // Shows at most this many of the apps (all when negative).
    property int limit: -1
    columns: 3
    spacing: 14
    readonly property real cardWidth: Math.floor((width - (columns - 1) * spacing) / columns)

    Repeater {
        model: AppListModel {
            records: root.apps
            limit: root.limit
        }
        AppCard {
            id: card
            objectName: "appCard"
            required property var record
            width: root.cardWidth
            app: card.record
            onClicked: Navigator.openApp(card.record.slug)
        }
    }
}
