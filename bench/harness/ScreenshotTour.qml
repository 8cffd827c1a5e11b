import QtQuick
import Vexlo.Harness
import Vexlo.Store

// Walks the window through its pages and saves a picture of each (VEXLO_SCREENSHOT_DIR, optionally limited
// by VEXLO_SCREENSHOT_PAGES), then ends the program. Used by scripts/screenshots only.
Item {
    id: tour

    required property Window window
    readonly property bool hasHome: Store.home !== undefined && Store.home !== null
    property var queue: []
    property var current: null
    property int waited: 0
    property string searchHit: ""

    function firstCategory() {
        return hasHome && Store.home.categories.length > 0 ? Store.home.categories[0].slug : ""
    }
    function firstApp() {
        if (!hasHome)
            return ""
        const apps = Store.home.latest.length > 0 ? Store.home.latest : Store.home.featured
        return apps.length > 0 ? apps[0].slug : ""
    }
    function showSection(section, category) {
        Navigator.clearSearch()
        Navigator.back()
        if (section === "categories")
            Navigator.showCategory(category || "")
        else
            Navigator.showSection(section)
    }
    function search(text) {
        Navigator.back()
        Navigator.editSearch(text)
        Navigator.search()
    }

    readonly property var steps: [
        { name: "error", ready: () => Store.error !== "" && !hasHome && !Store.loading },
        { name: "discover", prepare: () => showSection("discover"), ready: () => hasHome, settle: 1500 },
        { name: "top", prepare: () => showSection("top"), ready: () => hasHome },
        { name: "latest", prepare: () => showSection("latest"), ready: () => hasHome },
        { name: "categories", prepare: () => showSection("categories"), ready: () => hasHome },
        { name: "category", prepare: () => showSection("categories", firstCategory()), ready: () => hasHome,
          settle: 1500 },
        { name: "search", prepare: () => { showSection("discover"); search(searchHit) },
          ready: () => !Store.searchBusy && Store.searchResults !== undefined },
        { name: "search-empty", prepare: () => search("没有这款软件qzx"),
          ready: () => !Store.searchBusy && Store.searchResults !== undefined },
        { name: "installed", prepare: () => showSection("installed"), ready: () => hasHome },
        { name: "device", prepare: () => showSection("device"), ready: () => hasHome },
        { name: "detail", prepare: () => { showSection("discover"); Store.openDetail(firstApp()) },
          ready: () => !Store.detailLoading },
        { name: "toast", prepare: () => { showSection("discover"); Store.showToast("已复制提取码 8K2D，正在打开网盘") },
          ready: () => Store.toast !== "", settle: 900 },
        { name: "login", prepare: () => { showSection("discover"); Navigator.openLogin() },
          ready: () => Store.showLogin, settle: 600 },
        ...deviceSteps.list,
        ...softwareSteps.list,
        ...gallerySteps.signedOut,
        ...accountSteps.list,
        ...gallerySteps.sponsor
    ]
    DeviceSteps { id: deviceSteps; window: tour.window; onShowSection: section => tour.showSection(section) }
    SoftwareSteps { id: softwareSteps; window: tour.window; onShowSection: section => tour.showSection(section) }
    AccountSteps { id: accountSteps; window: tour.window; onShowSection: section => tour.showSection(section) }
    GallerySteps { id: gallerySteps; window: tour.window; onShowSection: section => tour.showSection(section) }

    function begin() {
        Harness.parkPointer()
        const wanted = Harness.screenshotPages
        queue = steps.filter(step => wanted.length === 0 ? step.name !== "error" && step.name !== "device-running" : wanted.indexOf(step.name) >= 0)
        next()
    }

    function next() {
        Navigator.closeLogin()
        if (queue.length === 0) {
            Harness.quit(0)
            return
        }
        current = queue[0]
        queue = queue.slice(1)
        waited = 0
        if (current.prepare)
            current.prepare()
        poll.start()
    }

    // Waits for the first load to finish before the first step.
    Timer {
        id: startup
        interval: 100
        repeat: true
        running: true
        onTriggered: {
            if (Store.loading || (!tour.hasHome && Store.error === ""))
                return
            stop()
            if (tour.hasHome && tour.searchHit === "" && Store.home.latest.length > 0)
                tour.searchHit = Store.home.latest[0].name
            tour.begin()
        }
    }

    // Polls the step's condition (at most 15 s), then lets the page settle and takes the picture once nothing in
    // the pictured window is loading any more (at most 15 s more): no image or page caught half-way.
    Timer {
        id: poll
        interval: 100
        repeat: true
        onTriggered: {
            tour.waited += interval
            if (!tour.current.ready() && tour.waited < 15000)
                return
            stop()
            settle.interval = tour.current.settle || 700
            settle.start()
        }
    }
    Timer {
        id: settle
        onTriggered: {
            tour.waited = 0
            grab.start()
        }
    }
    Timer {
        id: grab
        interval: 100
        repeat: true
        onTriggered: {
            const target = tour.current.target ? tour.current.target() : tour.window
            tour.waited += interval
            if (tour.current.shot) { // pictured by its own step
                stop()
                tour.next()
                return
            }
            if (!Harness.settled(target) && tour.waited < 15000)
                return
            stop()
            if (!Harness.settled(target))
                console.warn("still loading:", tour.current.name)
            const path = Harness.screenshotDir + "/" + tour.current.name + ".png"
            if (!Harness.saveWindowImage(target, path))
                console.warn("could not save", path)
            tour.next()
        }
    }
}
