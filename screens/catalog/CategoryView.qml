import QtQuick
import Vexlo.Components
import QtQuick.Controls
import Vexlo.Store
import Vexlo.Service
import Vexlo.Catalog

// Categories: an overview of all of them, or the apps of the selected one, loaded by the page itself.
AppGridPage {
    id: root
    objectName: "categoryView"
    property var home: Store.home

    readonly property var selected: categoryModel.selected
    property alias loader: loader

    CategoryLoader {
        id: loader
        objectName: "categoryLoader"
        category: Store.selectedCategory
    }

    CategoryListModel {
        id: categoryModel
        records: root.home ? root.home.categories : []
        selectedSlug: Store.selectedCategory
    }

    apps: root.selected && !loader.loading ? loader.apps : []

    // Qt 6.4 creates no bound component in a ListView header or footer or in a Loader, so this file cannot use
    // "pragma ComponentBehavior: Bound", and qmllint takes ids used inside the components below as unqualified.
    // qmllint disable unqualified
    above: Column {
        spacing: 26

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
                model: root.selected ? null : categoryModel
                AbstractButton {
                    id: tile
                    objectName: "categoryTile"
                    required property string slug
                    required property string name
                    required property string glyph
                    required property string accent
                    required property int count
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
                            readonly property color tint: Theme.color(tile.accent)
                            color: Theme.tint(tint, 0.12)
                            SymbolIcon {
                                anchors.centerIn: parent
                                name: Theme.glyph(tile.glyph)
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
                            text: tile.name
                            size: 12.9
                            font.weight: Font.DemiBold
                            elide: Text.ElideRight
                        }
                        StoreLabel {
                            anchors.right: parent.right
                            anchors.rightMargin: 14
                            anchors.verticalCenter: glyphBack.verticalCenter
                            text: tile.count + " 款"
                            size: 10.5
                            color: Theme.secondary
                        }
                    }
                    onClicked: Navigator.showCategory(tile.slug)
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

        // A load that failed says so under the header, where an empty grid would pass for an empty category.
        EmptyState {
            objectName: "categoryFailure"
            visible: !!root.selected && loader.failed && !loader.loading
            width: parent.width
            icon: "exclamationmark.triangle.fill"
            title: "加载失败"
            StoreButton {
                objectName: "categoryRetry"
                anchors.horizontalCenter: parent.horizontalCenter
                kind: "bordered"
                symbol: "arrow.clockwise"
                text: "重试"
                onClicked: loader.reload()
            }
        }
    }
    // qmllint enable unqualified
}
