import QtQuick
import Vexlo.Components
import QtQuick.Controls
import Vexlo.Store
import Vexlo.Catalog

// Results of the window's search: matching apps, then wallpapers and articles.
AppGridPage {
    id: root
    objectName: "searchView"
    property var results: Store.searchResults

    apps: results ? results.apps : []
    readonly property int appCount: results ? results.apps.length : 0
    readonly property bool failed: Store.searchError !== ""

    SearchOtherModel {
        id: otherModel
        records: root.results ? root.results.other : []
    }

    // Qt 6.4 creates no bound component in a ListView header or footer or in a Loader, so this file cannot use
    // "pragma ComponentBehavior: Bound", and qmllint takes ids used inside the components below as unqualified.
    // qmllint disable unqualified
    above: Column {
        spacing: 26

        PageHeader {
            objectName: "searchHeader"
            width: parent.width
            eyebrow: "搜索"
            title: "「" + Store.searchText + "」的结果"
            subtitle: root.failed ? "" : root.appCount + " 款软件"
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

        // A search that failed says why and offers to run it again; an empty grid would pass for no match.
        FailureState {
            objectName: "searchFailure"
            visible: root.failed
            width: parent.width
            title: "搜索失败"
            reason: Store.searchError
            busy: Store.searchBusy
            onRetry: Store.runSearch(Store.searchText)
        }

        EmptyState {
            objectName: "searchEmpty"
            visible: root.appCount === 0 && !root.failed
            width: parent.width
            icon: "magnifyingglass"
            title: "没有匹配的软件"
            hint: "试试更宽泛的关键词"
        }
    }
    // qmllint enable unqualified

    // qmllint disable unqualified
    below: SectionBlock {
        objectName: "searchOtherSection"
        visible: otherModel.count > 0
        title: "壁纸与文章"
        Column {
            width: parent.width
            spacing: 8
            Repeater {
                model: otherModel
                AbstractButton {
                    id: row
                    objectName: "searchOtherRow"
                    required property string type
                    required property string slug
                    required property string title
                    required property var sub
                    width: parent.width
                    height: row.sub ? 56 : 44
                    hoverEnabled: true
                    background: CardFrame { radius: 10; hovered: row.hovered }
                    contentItem: Item {
                        SymbolIcon {
                            id: kind
                            x: 14
                            anchors.verticalCenter: parent.verticalCenter
                            name: row.type === "wall" ? "photo" : "doc.text"
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
                                text: row.title
                                size: 12.4
                                font.weight: Font.Medium
                                elide: Text.ElideRight
                            }
                            StoreLabel {
                                visible: !!row.sub
                                width: parent.width
                                text: row.sub ? row.sub : ""
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
                        if (row.type === "wall") {
                            // The results step aside for the wallpapers page; submitting the search again
                            // brings them back.
                            Navigator.dismissResults()
                            Navigator.showSection("wallpapers")
                        } else
                            Store.openOnWeb("/blog/" + row.slug)
                    }
                }
            }
        }
    }
    // qmllint enable unqualified
}
