import QtQuick
import Vexlo.Store

// Pages benchmark, loaded into the store window by bench/pages/run: once the discover page shows its data,
// selects the category "bench" (as the sidebar does) and times the switch up to the first frame that shows the
// loaded list; then scrolls that list from top to bottom, a fixed step per frame, timing every frame.
Item {
    id: probe
    property Window window

    // Pixels per frame: about a third of the window, so the scroll passes every row.
    readonly property int step: 300
    property string phase: "home"
    property double selectedAt: 0
    property double lastSwap: 0
    property bool dataInFrame: false
    property int switchMs: -1
    property var frames: []
    property Item page: null
    property var list: null

    readonly property bool homeReady: !!window && window.pageName === "discoverView" && !!Store.home
    onHomeReadyChanged: if (homeReady) Qt.callLater(select)

    function select() {
        if (phase !== "home")
            return
        phase = "switch"
        selectedAt = Date.now()
        Navigator.showCategory("bench")
    }

    function find(item, test) {
        if (!item)
            return null
        if (test(item))
            return item
        const children = item.children
        for (let i = 0; i < children.length; ++i) {
            const found = find(children[i], test)
            if (found)
                return found
        }
        return null
    }

    function loaded() {
        if (window.pageName !== "categoryView")
            return false
        if (!page)
            page = find(window.contentItem, item => item.objectName === "categoryView")
        return page && page.loader && !page.loader.loading && page.loader.apps.length > 0
    }

    // The scrolling view of the page: the largest flickable inside it.
    function scroller() {
        let best = null
        const visit = item => {
            if (item.contentHeight !== undefined && item.contentY !== undefined && item.height > 0
                    && (!best || item.contentHeight > best.contentHeight))
                best = item
            for (let i = 0; i < item.children.length; ++i)
                visit(item.children[i])
        }
        visit(page)
        return best
    }

    function finish() {
        phase = "done"
        const sorted = frames.slice().sort((a, b) => a - b)
        const p99 = sorted.length ? sorted[Math.min(sorted.length - 1, Math.ceil(sorted.length * 0.99) - 1)] : -1
        const median = sorted.length ? sorted[Math.floor(sorted.length / 2)] : -1
        console.info("pages-frames: " + sorted.length + " median_ms=" + median + " max_ms=" + sorted[sorted.length - 1]
                     + " content_px=" + Math.round(list ? list.contentHeight : 0))
        console.info("pages: switch_ms=" + switchMs + " frame_p99_ms=" + p99)
        Qt.quit()
    }

    Connections {
        target: probe.window
        // Emitted on the GUI thread just before the scene is handed to the renderer: a frame prepared now
        // shows whatever the page holds now.
        function onAfterAnimating() {
            if (probe.phase === "switch" && !probe.dataInFrame && probe.loaded())
                probe.dataInFrame = true
        }
        function onFrameSwapped() {
            const now = Date.now()
            if (probe.phase === "switch" && probe.dataInFrame) {
                probe.switchMs = now - probe.selectedAt
                console.info("pages-switch: " + probe.switchMs + " ms")
                probe.list = probe.scroller()
                probe.phase = "scroll"
                probe.lastSwap = now
                probe.list.contentY = 0
                probe.list.contentY = probe.step
                return
            }
            if (probe.phase !== "scroll")
                return
            probe.frames.push(now - probe.lastSwap)
            probe.lastSwap = now
            const end = probe.list.contentHeight - probe.list.height
            if (probe.list.contentY >= end - 0.5) {
                probe.finish()
                return
            }
            probe.list.contentY = Math.min(end, probe.list.contentY + probe.step)
        }
    }

    // A page too slow to scroll to the end in time is reported on the frames it managed, marked as partial.
    Timer {
        interval: 150000
        running: true
        onTriggered: {
            console.info("pages: timed out in phase " + probe.phase)
            if (probe.phase === "scroll") {
                console.info("pages-partial: scrolled " + Math.round(probe.list.contentY) + " of "
                             + Math.round(probe.list.contentHeight - probe.list.height) + " px")
                probe.finish()
            } else {
                Qt.quit()
            }
        }
    }
}
