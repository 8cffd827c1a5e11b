import QtQuick
import Vexlo.Components
import Vexlo.Store
import Vexlo.Catalog

// The weekly chart: every ranked app, then the latest additions as more to browse.
StorePage {
    id: root
    objectName: "topChartView"
    property var home: Store.home

    PageHeader {
        width: parent.width
        eyebrow: "排行榜"
        title: "本周下载最多"
        subtitle: "数据来自真实下载记录，每小时更新"
    }
    RankList {
        objectName: "topChartList"
        visible: root.home && root.home.top.length > 0
        width: parent.width
        apps: root.home ? root.home.top : []
    }
    SectionBlock {
        objectName: "moreChartsSection"
        visible: root.home && root.home.latest.length > 0
        width: parent.width
        title: "更多榜单"
        AppGrid {
            width: parent.width
            apps: root.home ? root.home.latest : []
        }
    }
}
