pragma ComponentBehavior: Bound
import QtQuick
import Vexlo.Components
import Vexlo.Store
import Vexlo.Catalog

// The discover page below its first screenful: the week's chart, wallpapers, the sponsorship offer and what the
// store promises.
Column {
    id: root
    spacing: 26

    readonly property var home: Store.home
    readonly property var member: home && home.member ? home.member : undefined
    readonly property var topApps: home ? home.top.slice(0, 5) : []
    readonly property var wallpapers: home ? home.wallpapers.slice(0, 4) : []

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
