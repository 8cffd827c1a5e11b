import QtQuick
import Vexlo.Catalog
import Vexlo.Components
import Vexlo.Store
import Vexlo.Window

// Chooses what the content area shows from the store's state; the first rule that holds wins, except that a
// detail opened from the search results shows in front of them. The pages that run on this Mac alone (device
// check, software manager) never wait for the store: its loading spinner and error state cover store pages only.
Item {
    id: root
    objectName: "detailRouter"

    // Whether the open detail page was opened after the current search results (an app pressed on the results
    // page): it is then shown in front of them, and closing it brings them back. Results of a newer search
    // come in front of an open detail again.
    property bool detailOverResults: false
    // Whether another section was chosen while a detail loaded: the page chosen shows at once, and the detail
    // that load brings is not put in front of it.
    property bool detailLeft: false
    Connections {
        target: Store
        function onSectionChanged() {
            if (Store.detailLoading)
                root.detailLeft = true
        }
        function onDetailLoadingChanged() {
            if (Store.detailLoading)
                root.detailLeft = false
        }
        function onDetailChanged() {
            if (!root.present(Store.detail))
                return
            if (root.detailLeft) {
                root.detailLeft = false
                Store.detail = undefined
                return
            }
            root.detailOverResults = true
        }
        function onSearchResultsChanged() {
            if (root.present(Store.searchResults))
                root.detailOverResults = false
        }
        function onSearchErrorChanged() {
            if (Store.searchError !== "")
                root.detailOverResults = false
        }
    }

    readonly property string route: {
        const hasHome = present(Store.home)
        const detailInFront = detailOverResults && present(Store.detail)
        // A failed search shows its failure on the results page.
        const searched = present(Store.searchResults) || Store.searchError !== ""
        if (searched && Store.searchText !== "" && !detailInFront)
            return "search"
        if (present(Store.detail))
            return "detail"
        if (Store.detailLoading && !detailLeft)
            return "detailLoading"
        if (localSections.indexOf(Store.section) >= 0)
            return Store.section
        if (Store.loading && !hasHome)
            return "loading"
        if (Store.error !== "" && !hasHome)
            return "error"
        if (hasHome)
            return Store.section
        return "waiting"
    }
    readonly property Item currentPage: content.item as Item

    readonly property var localSections: ["device", "softwareManager"]

    function present(value) {
        return value !== undefined && value !== null
    }

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
