pragma ComponentBehavior: Bound
import QtQuick
import Vexlo.Components
import Vexlo.Store

// A catalogue page whose list is a grid of app cards, virtualised; a card opens its app's detail page.
CatalogListPage {
    id: root
    property alias apps: appModel.records
    model: AppListModel { id: appModel }
    delegate: Item {
        id: cell
        required property var record
        width: root.cardWidth + 14
        height: card.height + 14
        AppCard {
            id: card
            objectName: "appCard"
            width: root.cardWidth
            app: cell.record
            onClicked: Navigator.openApp(cell.record.slug)
            onImplicitHeightChanged: root.cardHeight = Math.max(root.cardHeight, implicitHeight)
            Component.onCompleted: root.cardHeight = Math.max(root.cardHeight, implicitHeight)
        }
    }
}
