import QtQuick
import Vexlo.Components
import Vexlo.Service
import QtQuick.Controls
import QtQuick.Templates as T
import QtQuick.Layouts

// A modal sheet over the window, shown while `requested` is true. Closing it in any way (Escape, its own close
// control) reports `dismissed`, which the window turns into clearing the store flag that asked for it.
Popup {
    id: root

    property bool requested: false
    property url page
    signal dismissed()

    parent: Overlay.overlay
    anchors.centerIn: parent
    modal: true
    dim: true
    padding: 0
    closePolicy: Popup.CloseOnEscape
    focus: true
    onRequestedChanged: requested ? open() : close()
    Component.onCompleted: if (requested) open()
    onClosed: {
        if (requested)
            dismissed()
        giveFocusBack()
    }
    onOpened: focusFirst()

    // The control that had the focus when the sheet opened (赞助, 登录) gets it back when the sheet closes,
    // shown with the focus ring when it had the ring before.
    property Item opener: null
    property bool openerRinged: false
    onAboutToShow: {
        const focused = body.Window.activeFocusItem
        opener = focused
        const control = focused as T.Control
        openerRinged = control !== null && control.visualFocus
    }
    function giveFocusBack() {
        const item = opener
        opener = null
        if (!item || !item.visible || !item.enabled)
            return
        const reason = openerRinged ? Qt.TabFocusReason : Qt.OtherFocusReason
        // Closing may already have put the focus back there, for a reason that shows no ring.
        const control = item as T.Control
        if (item.activeFocus && control)
            control.focusReason = reason
        else
            item.forceActiveFocus(reason)
    }

    // Puts the keyboard in the sheet: on the field its page marks with `focus: true`, otherwise on its first
    // control.
    function focusFirst() {
        const page = sheet.item as Item
        if (!page)
            return
        page.forceActiveFocus()
        if (page.activeFocus) {
            const first = page.nextItemInFocusChain(true)
            if (first && root.within(first, page))
                first.forceActiveFocus(Qt.TabFocusReason)
        }
    }
    // Every sheet page says closeRequested when it is done.
    function follow(page) {
        page.closeRequested.connect(root.dismissed)
    }
    function within(item: Item, ancestor: Item): bool {
        for (let p = item; p; p = p.parent)
            if (p === ancestor)
                return true
        return false
    }

    background: Rectangle {
        radius: 12
        color: Theme.card
        border.width: 1
        border.color: Theme.hairline
    }

    contentItem: Item {
        id: body
        implicitWidth: sheet.item ? (sheet.item as Item).implicitWidth : 0
        implicitHeight: sheet.item ? (sheet.item as Item).implicitHeight : 0
        Loader {
            id: sheet
            anchors.fill: parent
            active: root.requested
            source: root.page
            focus: true
            onLoaded: {
                root.follow(item)
                if (root.opened)
                    root.focusFirst()
            }
        }
    }
}
