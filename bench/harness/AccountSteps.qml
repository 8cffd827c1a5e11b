import QtQuick
import Vexlo.Store

// The detail, sign-in, membership and checkout pictures for the screenshot tour, taken in the order a new user
// meets them: a free app, a sponsors-only app and its links while signed out, the membership page signed out,
// a refused sign-in; then signed in as member@vexlo.test: the plan picker, the order with its QR code, and
// after the sandbox payment the membership page of an active sponsor.
QtObject {
    id: steps
    required property var window
    // Asks the tour to show a section of the store window.
    signal showSection(string section)
    property int phase: 0

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
    // The window's root item: the pages and the overlay the sheets open in.
    function top() { return window.contentItem.parent || window.contentItem }
    function shown(name) { const item = find(top(), name); return item !== null && item.visible }
    function press(name) {
        const item = find(top(), name)
        if (item && item.visible && item.enabled)
            item.clicked()
        return item !== null
    }
    function appWhere(test) {
        const home = Store.home
        const lists = home ? [home.featured, home.latest, home.top] : []
        for (const list of lists) {
            for (const app of list) {
                if (test(app))
                    return app.slug
            }
        }
        return ""
    }
    function openApp(test) {
        showSection("discover")
        Store.openDetail(appWhere(test))
    }
    function detailReady() { return !Store.detailLoading && Store.detail !== undefined && !Store.netdiskBusy }
    // Fills the open sign-in sheet and submits it once.
    function signIn(email, password) {
        if (!shown("loginPage"))
            return false
        find(top(), "emailField").text = email
        find(top(), "passwordField").text = password
        return press("loginSubmit")
    }
    function yearlyRow() {
        const picker = find(top(), "planPicker")
        if (!picker)
            return null
        const rows = []
        const collect = item => {
            if (item.objectName === "planRow")
                rows.push(item)
            for (let i = 0; i < item.children.length; ++i)
                collect(item.children[i])
        }
        collect(picker)
        return rows.find(row => row.plan.slug === "yearly") || rows[0] || null
    }

    readonly property var list: [
        { name: "detail-free", prepare: () => openApp(app => app.isFree), ready: detailReady, settle: 1200 },
        { name: "detail-sponsors-only", prepare: () => openApp(app => !app.isFree), ready: detailReady,
          settle: 1200 },
        { name: "detail-links", prepare: () => openApp(app => app.isFree),
          ready: () => {
              if (!detailReady() || Store.netdiskLinks.length === 0)
                  return false
              const page = find(top(), "appDetailView")
              const panel = find(page, "netdiskPanel")
              page.flickable.contentY = Math.max(0, panel.mapToItem(page.flickable.contentItem, 0, 0).y - 120)
              return true
          }, settle: 900 },
        { name: "member-signed-out", prepare: () => showSection("member"), ready: () => Store.home !== undefined },
        { name: "login-error", prepare: () => { showSection("discover"); phase = 0; Navigator.openLogin() },
          ready: () => {
              if (phase === 0 && signIn("member@vexlo.test", "wrong-password"))
                  phase = 1
              return phase === 1 && shown("loginError")
          }, settle: 600 },
        { name: "checkout-picker",
          prepare: () => { showSection("discover"); phase = 0; Navigator.openLogin() },
          ready: () => {
              if (phase === 0 && signIn("member@vexlo.test", "vexlo-member"))
                  phase = 1
              if (phase === 1 && Store.member !== undefined && !Store.showLogin) {
                  showSection("member")
                  Navigator.openCheckout()
                  phase = 2
              }
              return phase === 2 && shown("planPicker")
          }, settle: 800 },
        { name: "checkout-order",
          prepare: () => { phase = 0; const row = yearlyRow(); if (row) row.clicked() },
          ready: () => shown("orderView") && find(top(), "qrCode").loaded, settle: 800 },
        { name: "member-sponsor",
          prepare: () => press("mockPay"),
          ready: () => {
              if (Store.member === undefined || !Store.member.sponsorActive)
                  return false
              Navigator.closeCheckout()
              showSection("member")
              return shown("memberView")
          }, settle: 1200 }
    ]
}
