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
            // Two rows fill the first screenful; the rest come with the lower sections.
            limit: lowerSections.active ? -1 : 6
        }
    }

    // The rest of the page is made once the window has drawn this first screenful (at once in a hidden window),
    // so what the user sees first comes sooner.
    Loader {
        id: lowerSections
        width: parent.width
        active: false
        source: "DiscoverLowerSections.qml"
        Component.onCompleted: active = !(Window.window && Window.window.visible)
        Connections {
            target: lowerSections.Window.window
            enabled: !lowerSections.active
            function onFrameSwapped() {
                afterFrame.start()
            }
        }
        // Not inside the frame's own signal: after it, from the event loop.
        Timer {
            id: afterFrame
            interval: 0
            onTriggered: lowerSections.active = true
        }
    }
}
