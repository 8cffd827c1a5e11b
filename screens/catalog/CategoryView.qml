import QtQuick
import Vexlo.Components
import QtQuick.Controls
import Vexlo.Store
import Vexlo.Service
import Vexlo.Catalog

// Categories: an overview of all of them, or the apps of the selected one, loaded by the page itself.
StorePage {
    id: root
    objectName: "categoryView"
    property var home: Store.home

    readonly property var categories: home ? home.categories : []
    readonly property var selected: {
        const slug = Store.selectedCategory
        if (!slug)
            return undefined
        for (let i = 0; i < categories.length; ++i) {
            if (categories[i].slug === slug)
                return categories[i]
        }
        return undefined
    }
    property alias loader: loader

    CategoryLoader {
        id: loader
        objectName: "categoryLoader"
        category: Store.selectedCategory
    }

    PageHeader {
        objectName: "categoryHeader"
        width: parent.width
        eyebrow: "分类"
        title: root.selected ? root.selected.name : "按用途浏览"
        subtitle: root.selected ? root.selected.count + " 款应用 · 全部经过实机测试" : "选一个场景，看看我们留下了什么"
    }

    AdaptiveGrid {
        id: tiles
        objectName: "categoryTiles"
        visible: !root.selected
        width: parent.width
        minimumCellWidth: 168
        maximumCellWidth: 240
        Repeater {
            model: root.selected ? [] : root.categories
            AbstractButton {
                id: tile
                objectName: "categoryTile"
                property string slug: modelData.slug
                width: tiles.cellWidth
                height: 104
                hoverEnabled: true
                background: CardFrame { radius: 12; hovered: tile.hovered }
                contentItem: Item {
                    Rectangle {
                        id: glyphBack
                        x: 14
                        y: 14
                        width: 34
                        height: 34
                        radius: 9
                        readonly property color tint: Theme.color(modelData.accent)
                        color: Theme.tint(tint, 0.12)
                        SymbolIcon {
                            anchors.centerIn: parent
                            name: Theme.glyph(modelData.glyph)
                            size: 19
                            color: glyphBack.tint
                        }
                    }
                    StoreLabel {
                        objectName: "categoryTileName"
                        x: 14
                        anchors.top: glyphBack.bottom
                        anchors.topMargin: 10
                        width: parent.width - 28
                        text: modelData.name
                        size: 12.9
                        font.weight: Font.DemiBold
                        elide: Text.ElideRight
                    }
                    StoreLabel {
                        anchors.right: parent.right
                        anchors.rightMargin: 14
                        anchors.verticalCenter: glyphBack.verticalCenter
                        text: modelData.count + " 款"
                        size: 10.5
                        color: Theme.secondary
                    }
                }
                onClicked: Store.selectedCategory = modelData.slug
            }
        }
    }

    Item {
        objectName: "categorySpinner"
        visible: !!root.selected && loader.loading
        width: parent.width
        height: 80
        BusyIndicator {
            anchors.centerIn: parent
            width: 28
            height: 28
            running: parent.visible
        }
    }

    AppGrid {
        objectName: "categoryGrid"
        visible: !!root.selected && !loader.loading
        width: parent.width
        apps: loader.apps
    }
}
