import QtQuick
import Vexlo.Harness
import Vexlo.Store

// The wallpaper gallery, settings window and quick search panel for the screenshot tour. `signedOut` runs
// before the account steps sign in; `sponsor` after them, when the member is an active sponsor. The settings
// window and the panel are made here from the app's own files and pictured as windows of their own.
QtObject {
    id: steps
    required property var window
    // Asks the tour to show a section of the store window.
    signal showSection(string section)
    property var settingsWindow: null
    property var panelWindow: null

    function find(item, name) {
        if (!item)
            return null
        if (item.objectName === name)
            return item
        for (let i = 0; i < item.children.length; ++i) {
            const found = find(item.children[i], name)
            if (found)
                return found
        }
        return null
    }
    function gallery() { return find(window.contentItem, "wallpaperGallery") }
    function galleryReady() { const g = gallery(); return g !== null && !g.model.loading && g.model.rowCount() > 0 }
    function showGallery(collection) {
        showSection("wallpapers")
        const g = gallery()
        if (g)
            g.collection = collection
    }
    function made(file) {
        const window = Qt.createComponent("qrc:/qt/qml/Vexlo/App/" + file).createObject(null)
        window.x = 60
        window.y = 60
        window.show()
        return window
    }
    function settings() {
        if (settingsWindow)
            settingsWindow.destroy()
        settingsWindow = made("SettingsWindow.qml")
    }
    function panel() {
        if (!panelWindow)
            panelWindow = made("TrayPanel.qml")
        panelWindow.show()
        return find(panelWindow.contentItem, "menuExtraView").search
    }
    function searchPanel(text) {
        const search = panel()
        search.query = text
        search.submit()
    }
    function panelDone(area) { const s = panel(); return !s.searching && s.area === area }
    function close() {
        if (settingsWindow)
            settingsWindow.close()
        if (panelWindow)
            panelWindow.close()
    }

    readonly property var signedOut: [
        { name: "wallpapers", prepare: () => { close(); showGallery("all") }, ready: galleryReady, settle: 1500 },
        { name: "wallpapers-gradient", prepare: () => showGallery("gradient"), ready: galleryReady, settle: 1500 },
        { name: "settings-signed-out", prepare: settings, target: () => settingsWindow, ready: () => true },
        { name: "panel-latest", prepare: () => { close(); searchPanel("") }, target: () => panelWindow,
          ready: () => panelDone("latest") && panel().rows.rowCount() > 0 },
        { name: "panel-hits", prepare: () => searchPanel("终端"), target: () => panelWindow,
          ready: () => panelDone("hits"), settle: 500 },
        { name: "panel-no-hits", prepare: () => searchPanel("没有这款软件qzx"), target: () => panelWindow,
          ready: () => panelDone("notFound") }
    ]
    readonly property var sponsor: [
        { name: "wallpapers-sponsor", prepare: () => { close(); showGallery("all") }, ready: galleryReady,
          settle: 1500 },
        // Saving from the local service takes a moment only: the picture is taken in the same turn as the click,
        // before any reply can arrive.
        { name: "wallpaper-saving", shot: true, ready: () => true, prepare: () => {
            const card = find(window.contentItem, "download5k")
            if (card)
                card.clicked()
            Harness.saveWindowImage(window, Harness.screenshotDir + "/wallpaper-saving.png")
        } },
        { name: "settings-signed-in", prepare: settings, target: () => settingsWindow, ready: () => true }
    ]
}
