pragma ComponentBehavior: Bound
import QtQuick
import Vexlo.Components
import Vexlo.Store
import Vexlo.Service
import Vexlo.Catalog

// The store's home page: greeting, today's featured app, editors' picks, the week's chart,
// wallpapers, the sponsorship offer and what the store promises.
StorePage {
    id: root
    objectName: "discoverView"

    property var home: Store.home
    // The hour the greeting is for; -1 follows the clock.
    property int hour: -1

    property int clockHour: new Date().getHours()
    readonly property int shownHour: hour >= 0 ? hour : clockHour
    readonly property var member: home && home.member ? home.member : undefined
    readonly property var featured: home ? home.featured : []
    readonly property var topApps: home ? home.top.slice(0, 5) : []
    readonly property var wallpapers: home ? home.wallpapers.slice(0, 4) : []

    Timer {
        interval: 30000
        running: root.hour < 0
        repeat: true
        onTriggered: root.clockHour = new Date().getHours()
    }

    Column {
        width: parent.width
        spacing: 8
        PageHeader {
            objectName: "discoverHeader"
            width: parent.width
            eyebrow: "精选推荐"
            title: PageText.greeting(root.shownHour)
                   + (root.member ? "，" + root.member.nickname : "，今天值得装点什么")
            subtitle: "为你精选好用的 macOS 软件，每款都由编辑实测收录。"
        }
        StoreLabel {
            objectName: "discoverStats"
            visible: !!root.home
            text: root.home
                  ? "共收录 " + root.home.stats.apps + " 款应用 · 累计 " + Theme.compact(root.home.stats.downloads)
                    + " 次下载 · " + root.home.stats.wallpapers + " 组壁纸"
                  : ""
            size: 10.5
            color: Theme.tertiary
        }
    }

    HeroCard {
        objectName: "heroCard"
        visible: root.featured.length > 0
        width: parent.width
        app: root.featured.length > 0 ? root.featured[0] : undefined
        onClicked: Navigator.openApp(root.featured[0].slug)
    }

    SectionBlock {
        objectName: "staffPicksSection"
        visible: root.featured.length > 1
        width: parent.width
        title: "编辑也在用"
        subtitle: "按编辑部实际使用时长排序，赞助不影响排序"
        AppGrid {
            objectName: "staffPicksGrid"
            width: parent.width
            apps: root.featured.slice(1)
        }
    }

    SectionBlock {
        objectName: "weeklyTopSection"
        visible: root.topApps.length > 0
        width: parent.width
        title: "本周下载最多"
        subtitle: "过去 7 天的实际下载量"
        RankList {
            objectName: "weeklyTopList"
            width: parent.width
            apps: root.topApps
        }
    }

    SectionBlock {
        objectName: "wallpaperSection"
        visible: root.wallpapers.length > 0
        width: parent.width
        title: "为这块屏幕配一张背景"
        subtitle: "6016 × 6016 起，含 Studio Display 原生比例"
        AdaptiveGrid {
            id: wallGrid
            width: parent.width
            minimumCellWidth: 190
            maximumCellWidth: 260
            Repeater {
                model: WallpaperListModel {
                    records: root.wallpapers
                }
                WallpaperTile {
                    id: tile
                    objectName: "wallpaperTile"
                    required property var record
                    width: wallGrid.cellWidth
                    height: 116
                    wallpaper: tile.record
                    onClicked: Navigator.showSection("wallpapers")
                }
            }
        }
    }

    SponsorStrip {
        objectName: "sponsorStrip"
        visible: !!root.member && !root.member.sponsorActive
        width: parent.width
        plans: root.home ? root.home.plans : []
    }

    SectionBlock {
        objectName: "trustSection"
        width: parent.width
        title: "信任这件事"
        Row {
            id: trustRow
            width: parent.width
            spacing: 10
            readonly property real cellWidth: (width - 3 * spacing) / 4
            readonly property real cellHeight: Math.max(c1.implicitHeight, c2.implicitHeight,
                                                        c3.implicitHeight, c4.implicitHeight)
            TrustCell {
                id: c1
                width: trustRow.cellWidth; height: trustRow.cellHeight
                icon: "checkmark.shield"; title: "实机验证"; detail: "M2 与 M4 各跑 14 天，记录能耗与崩溃。"
            }
            TrustCell {
                id: c2
                width: trustRow.cellWidth; height: trustRow.cellHeight
                icon: "bolt"; title: "安装即用"; detail: "拖进「应用程序」就能开始，无需额外配置。"
            }
            TrustCell {
                id: c3
                width: trustRow.cellWidth; height: trustRow.cellHeight
                icon: "cpu"; title: "原生优先"; detail: "标注架构与最低系统版本，套壳会明说。"
            }
            TrustCell {
                id: c4
                width: trustRow.cellWidth; height: trustRow.cellHeight
                icon: "arrow.triangle.2.circlepath"; title: "持续跟进"; detail: "上游发版 48 小时内同步。"
            }
        }
    }
}
