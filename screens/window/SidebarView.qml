pragma ComponentBehavior: Bound
import QtQuick
import Vexlo.Components
import Vexlo.Service
import QtQuick.Controls
import QtQuick.Layouts
import Vexlo.Store
import Vexlo.Window

// The window's left column: the search field, the section list with its groups, and the sponsorship footer.
Rectangle {
    id: root
    objectName: "sidebarView"
    color: Theme.sidebar

    // The list's selection maps onto the store's section; choosing any section but "categories" forgets
    // the chosen category. An open detail page is left alone.
    function select(section) {
        Navigator.showSection(section)
    }

    function selectCategory(slug) {
        Navigator.showCategory(slug)
    }

    readonly property bool homeLoaded: Store.home !== undefined && Store.home !== null
    readonly property var member: Store.member
    readonly property bool hasMember: member !== undefined && member !== null

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        SearchField {
            Layout.fillWidth: true
            Layout.margins: 10
            Layout.bottomMargin: 6
        }

        Flickable {
            id: list
            objectName: "sidebarList"
            Layout.fillWidth: true
            Layout.fillHeight: true
            clip: true
            contentHeight: groups.implicitHeight + 12
            boundsBehavior: Flickable.StopAtBounds
            ScrollBar.vertical: ScrollBar { policy: ScrollBar.AsNeeded }

            Column {
                id: groups
                x: 8
                width: list.width - 16
                spacing: 1

                SidebarHeader { text: "开始" }
                SidebarRow {
                    objectName: "row_device"; width: parent.width
                    text: "我的设备"; symbol: "desktopcomputer"
                    selected: Store.section === "device"
                    onClicked: root.select("device")
                }
                SidebarRow {
                    objectName: "row_softwareManager"; width: parent.width
                    text: "软件管理"; symbol: "wrench.and.screwdriver"
                    selected: Store.section === "softwareManager"
                    onClicked: root.select("softwareManager")
                }

                SidebarHeader { text: "软件库" }
                SidebarRow {
                    objectName: "row_discover"; width: parent.width
                    text: "精选推荐"; symbol: "sparkles"
                    selected: Store.section === "discover"
                    onClicked: root.select("discover")
                }
                SidebarRow {
                    objectName: "row_top"; width: parent.width
                    text: "排行榜"; symbol: "chart.bar.fill"
                    selected: Store.section === "top"
                    onClicked: root.select("top")
                }
                SidebarRow {
                    objectName: "row_latest"; width: parent.width
                    text: "最新上架"; symbol: "clock.fill"
                    selected: Store.section === "latest"
                    onClicked: root.select("latest")
                }

                SidebarHeader {
                    objectName: "group_categories"
                    visible: root.homeLoaded
                    text: "软件库分类"
                }
                Repeater {
                    objectName: "categoryRows"
                    model: CategoryListModel { records: root.homeLoaded ? Store.home.categories : [] }
                    delegate: SidebarRow {
                        id: categoryRow
                        required property string slug
                        required property string name
                        required property string glyph
                        required property string accent
                        required property int count
                        objectName: "category_" + slug
                        width: groups.width
                        text: name
                        symbol: Theme.glyph(glyph)
                        symbolSize: 13
                        accentSelection: true
                        symbolColor: Theme.tint(Theme.color(accent), 0.85)
                        trailing: String(count)
                        selected: Store.section === "categories" && Store.selectedCategory === slug
                        onClicked: root.selectCategory(categoryRow.slug)
                    }
                }

                SidebarHeader { text: "更多" }
                SidebarRow {
                    objectName: "row_installed"; width: parent.width
                    text: "已购项目"; symbol: "arrow.down.circle.fill"
                    selected: Store.section === "installed"
                    onClicked: root.select("installed")
                }
                SidebarRow {
                    objectName: "row_wallpapers"; width: parent.width
                    text: "壁纸"; symbol: "photo.on.rectangle"
                    selected: Store.section === "wallpapers"
                    onClicked: root.select("wallpapers")
                }
                SidebarRow {
                    objectName: "row_member"; width: parent.width
                    visible: Store.billingOn
                    text: "会员中心"; symbol: "creditcard.fill"
                    selected: Store.section === "member"
                    onClicked: root.select("member")
                }
            }
        }

        SidebarFooter {
            Layout.fillWidth: true
            visible: Store.billingOn
        }
    }
}
