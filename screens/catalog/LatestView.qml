import QtQuick
import Vexlo.Components
import Vexlo.Store
import Vexlo.Catalog

// The latest additions to the catalogue, newest first.
AppGridPage {
    id: root
    objectName: "latestView"
    property var home: Store.home
    apps: home ? home.latest : []

    above: PageHeader {
        eyebrow: "最新上架"
        title: "刚刚通过审核"
        subtitle: "每一款都完成过安装、权限与能耗检查"
    }
}
