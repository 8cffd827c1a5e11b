import QtQuick
import Vexlo.Catalog
import Vexlo.Components
import Vexlo.Store
import Vexlo.Window

// Shows the page the Navigator routes to: the page files by route, the spinners and the error state.
Item {
    id: root
    objectName: "detailRouter"

    readonly property string route: Navigator.page
    readonly property Item currentPage: content.item as Item

    // The file of each route's page, made when the route is first shown. Each page reads what it shows (home
    // payload, results, detail) from the store itself.
    readonly property var pages: ({
        "search": "qrc:/qt/qml/Vexlo/Catalog/SearchView.qml",
        "detail": "qrc:/qt/qml/Vexlo/Detail/AppDetailView.qml",
        "discover": "qrc:/qt/qml/Vexlo/Catalog/DiscoverView.qml",
        "device": "qrc:/qt/qml/Vexlo/Device/DeviceView.qml",
        "softwareManager": "qrc:/qt/qml/Vexlo/Software/SoftwareManagerView.qml",
        "top": "qrc:/qt/qml/Vexlo/Catalog/TopChartView.qml",
        "latest": "qrc:/qt/qml/Vexlo/Catalog/LatestView.qml",
        "categories": "qrc:/qt/qml/Vexlo/Catalog/CategoryView.qml",
        "wallpapers": "qrc:/qt/qml/Vexlo/Wallpapers/WallpapersView.qml",
        "member": "qrc:/qt/qml/Vexlo/Account/MemberView.qml",
        "installed": "qrc:/qt/qml/Vexlo/Catalog/InstalledView.qml"
    })

    function show() {
        switch (route) {
        case "detailLoading":
        case "waiting":
            content.sourceComponent = spinner
            return
        case "loading":
            content.sourceComponent = loadingStore
            return
        case "error":
            content.sourceComponent = errorState
            return
        }
        content.setSource(pages[route] || pages["discover"])
    }

    onRouteChanged: show()
    Component.onCompleted: show()

    Loader {
        id: content
        anchors.fill: parent
    }

    Component {
        id: spinner
        CenteredSpinner { objectName: "routerSpinner" }
    }
    Component {
        id: loadingStore
        CenteredSpinner { objectName: "storeLoading"; text: "正在载入商店…" }
    }
    Component {
        id: errorState
        ErrorState {
            message: Store.error
            address: Shell.siteAddress
            onRetry: Store.bootstrap()
        }
    }
}
