import QtQuick

// The device page's pictures for the screenshot tour: the start card, a run in progress (the tour runs the
// app with slow stand-in tools for it), each sample Mac finished, all indicators, the hands-on card with
// answers and one colour field of the screen check; the remote-management section, the history of this Mac
// with a comparison, the exported picture and a case serial that does not match.
QtObject {
    id: steps
    required property var window
    // Asks the tour to show a section of the store window.
    signal showSection(string section)
    property Item startPage: null

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
    function page() { return find(window.contentItem, "deviceView") }
    function finished() { const p = page(); return p !== null && p.check.started && !p.check.running }
    function clear() {
        if (startPage) {
            startPage.destroy()
            startPage = null
        }
        const p = page()
        if (p) {
            p.handsOn.colourWindow.close()
            p.handsOn.keyboardPanel.close()
            p.exportPreview.close()
            p.flickable.contentY = 0
        }
    }
    function showProfile(name) {
        clear()
        showSection("device")
        const p = page()
        if (p)
            p.check.profile = name
    }
    // Scrolls the page so the item named `name` is at the top (or, with `atBottom`, ends at the bottom); true
    // once the page stands there, so a step polls it until the cards are laid out.
    function scrollTo(name, atBottom) {
        const f = page().flickable
        const target = find(page(), name)
        if (!target || !target.visible)
            return false
        const top = target.mapToItem(f.contentItem, 0, 0).y
        const y = atBottom ? top + target.height + 12 - f.height : top - 12
        const wanted = Math.max(0, Math.min(y, f.contentHeight - f.height))
        if (Math.abs(f.contentY - wanted) < 1)
            return true
        f.contentY = wanted
        return false
    }
    function scrollToEnd() {
        const f = page().flickable
        f.contentY = Math.max(0, f.contentHeight - f.height)
    }

    readonly property var list: [
        { name: "device-not-started",
          prepare: () => {
              clear()
              showSection("device")
              const router = find(window.contentItem, "detailRouter")
              const component = Qt.createComponent("qrc:/qt/qml/Vexlo/Device/DeviceView.qml")
              startPage = component.createObject(router, { autoStart: false, width: router.width,
                                                           height: router.height, z: 10 })
          },
          ready: () => startPage !== null },
        { name: "device-running", prepare: () => { clear(); showSection("device") },
          ready: () => page() !== null && page().check.sectionModel.count >= 2 && page().check.running,
          settle: 150 },
        { name: "device-healthy", prepare: () => showProfile("healthy"),
          ready: () => finished() && page().check.profile === "healthy" },
        { name: "device-intel-desktop", prepare: () => showProfile("intel-desktop"),
          ready: () => finished() && page().check.profile === "intel-desktop" },
        { name: "device-tampered", prepare: () => showProfile("tampered"),
          ready: () => finished() && page().check.profile === "tampered" },
        { name: "device-all-indicators", prepare: () => { showProfile("healthy"); page().check.showAll = true },
          ready: () => finished() },
        { name: "device-hands-on",
          prepare: () => {
              showProfile("healthy")
              const p = page()
              for (let i = 0; i < p.handsOn.keyboard.count; ++i)
                  p.handsOn.keyboard.light(i)
              p.handsOn.answerKeyboard("全部正常")
              p.check.setAnswer("screen", "无异常")
              p.check.setAnswer("speakerLeft", "正常")
              p.check.setAnswer("speakerRight", "无声或有杂音")
              p.handsOn.speakerPlayed = true
          },
          ready: () => { if (finished()) scrollToEnd(); return finished() }, settle: 900 },
        { name: "device-colour-field",
          prepare: () => { showProfile("healthy"); page().handsOn.startScreen(); page().handsOn.colourWindow.field = 2 },
          ready: () => page().handsOn.colourWindow.visible,
          target: () => page().handsOn.colourWindow, settle: 900 },
        { name: "device-keyboard",
          prepare: () => {
              showProfile("healthy")
              const p = page()
              p.handsOn.startKeyboard()
              for (let i = 14; i < 40; ++i)
                  p.handsOn.keyboard.light(i)
          },
          ready: () => page().handsOn.keyboardPanel.opened, settle: 600 },
        { name: "device-management", prepare: () => showProfile("company"),
          ready: () => finished() && page().check.profile === "company" && scrollTo("section_management"),
          settle: 900 },
        { name: "device-history",
          prepare: () => showProfile("healthy"),
          ready: () => {
              if (!finished() || page().check.profile !== "healthy" || page().check.historyModel.count === 0)
                  return false
              if (page().check.comparedRow !== 0)
                  page().check.compareWith(0)
              return scrollTo("historyCard")
          },
          settle: 900 },
        { name: "device-export",
          prepare: () => showProfile("healthy"),
          ready: () => {
              if (!finished())
                  return false
              if (page().check.comparedRow !== -1)
                  page().check.compareWith(-1)
              const preview = find(window.contentItem, "exportedImage")
              if (page().check.exportedImage === "")
                  page().exportImage()
              return preview !== null && preview.status === Image.Ready
          },
          settle: 900 },
        { name: "device-case-serial",
          prepare: () => showProfile("healthy"),
          ready: () => {
              if (!finished())
                  return false
              page().check.caseSerial = "C02ZK3M8JYVX"
              return scrollTo("buyerCard", true)
          },
          settle: 900 },
        // No picture: closes the keyboard panel, which a later step's immediate picture would otherwise still show
        // over the next page (the old page, and the panel with it, goes only once the event loop runs).
        { name: "device-close", shot: true,
          prepare: () => {
              clear()
              const p = page()
              if (p)
                  p.check.caseSerial = ""
          },
          ready: () => true }
    ]
}
