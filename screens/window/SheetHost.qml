import QtQuick
import Vexlo.Components
import Vexlo.Service
import QtQuick.Controls
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
    onClosed: if (requested) dismissed()
    onOpened: focusFirst()

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
