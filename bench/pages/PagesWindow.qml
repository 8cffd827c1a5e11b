import QtQuick
import Vexlo.Store

// The store window's page area alone: the page of the current section, as the window's router loads it. With a
// folder as second argument, saves a picture of each catalogue page there instead of measuring (ShotsProbe.qml).
Window {
    id: root
    width: 1280
    height: 860
    visible: true
    readonly property string pageName: pages.item ? pages.item.objectName : ""
    readonly property var pageFiles: ({
        "categories": "CategoryView.qml", "top": "TopChartView.qml", "latest": "LatestView.qml",
        "installed": "InstalledView.qml", "discover": "DiscoverView.qml"
    })

    Loader {
        id: pages
        anchors.fill: parent
        source: "qrc:/qt/qml/Vexlo/Catalog/" + (root.pageFiles[Store.section] || "DiscoverView.qml")
    }

    Loader {
        source: Qt.application.arguments.length > 2 ? "ShotsProbe.qml" : "PagesProbe.qml"
        onLoaded: item.window = root
    }
}
