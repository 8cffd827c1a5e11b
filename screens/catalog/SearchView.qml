import QtQuick
import Vexlo.Components
import QtQuick.Controls
import Vexlo.Store
import Vexlo.Catalog

// Results of the window's search: matching apps, then wallpapers and articles.
StorePage {
    id: root
    objectName: "searchView"
    property var results: Store.searchResults

    readonly property var apps: results ? results.apps : []
    readonly property var others: results ? results.other : []

    PageHeader {
        objectName: "searchHeader"
        width: parent.width
        eyebrow: "搜索"
        title: "「" + Store.searchText + "」的结果"
        subtitle: root.apps.length + " 款软件"
    }

    Item {
        objectName: "searchSpinner"
        visible: Store.searchBusy
        width: parent.width
        height: 36
        BusyIndicator {
            anchors.left: parent.left
            anchors.verticalCenter: parent.verticalCenter
            width: 24
            height: 24
            running: parent.visible
        }
    }

    EmptyState {
        objectName: "searchEmpty"
        visible: root.apps.length === 0
        width: parent.width
        icon: "magnifyingglass"
        title: "没有匹配的软件"
        hint: "试试更宽泛的关键词"
    }

    AppGrid {
        objectName: "searchGrid"
        visible: root.apps.length > 0
        width: parent.width
        apps: root.apps
    }

    SectionBlock {
        objectName: "searchOtherSection"
        visible: root.others.length > 0
        width: parent.width
        title: "壁纸与文章"
        Column {
            width: parent.width
            spacing: 8
            Repeater {
                model: root.others
                AbstractButton {
                    id: row
                    objectName: "searchOtherRow"
                    property string type: modelData.type
                    width: parent.width
                    height: modelData.sub ? 56 : 44
                    hoverEnabled: true
                    background: CardFrame { radius: 10; hovered: row.hovered }
                    contentItem: Item {
                        SymbolIcon {
                            id: kind
                            x: 14
                            anchors.verticalCenter: parent.verticalCenter
                            name: modelData.type === "wall" ? "photo" : "doc.text"
                            size: 17
                            color: Theme.accent
                        }
                        Column {
                            anchors.left: kind.right
                            anchors.leftMargin: 12
                            anchors.right: arrow.left
                            anchors.rightMargin: 12
                            anchors.verticalCenter: parent.verticalCenter
                            spacing: 2
                            StoreLabel {
                                objectName: "searchOtherTitle"
                                width: parent.width
                                text: modelData.title
                                size: 12.4
                                font.weight: Font.Medium
                                elide: Text.ElideRight
                            }
                            StoreLabel {
                                visible: !!modelData.sub
                                width: parent.width
                                text: modelData.sub ? modelData.sub : ""
                                size: 10.5
                                color: Theme.secondary
                                elide: Text.ElideRight
                            }
                        }
                        SymbolIcon {
                            id: arrow
                            anchors.right: parent.right
                            anchors.rightMargin: 14
                            anchors.verticalCenter: parent.verticalCenter
                            name: "arrow.up.right"
                            size: 13
                            color: Theme.tertiary
                        }
                    }
                    onClicked: {
                        if (modelData.type === "wall")
                            Store.section = "wallpapers"
                        else
                            Store.openOnWeb("/blog/" + modelData.slug)
                    }
                }
            }
        }
    }
}
