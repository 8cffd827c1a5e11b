import QtQuick
import QtQuick.Controls
import QtQuick.Templates as T
import Vexlo.Components

// Shows where the keyboard is: a ring in the theme's focus colour around the window's focused control whenever
// the focus came by keyboard (Tab, Backtab, a shortcut), drawn above the window's popups too. One per window;
// every control of the window gets it without drawing one of its own.
Item {
    id: root
    objectName: "focusRing"
    parent: Overlay.overlay
    anchors.fill: parent
    z: 2e6

    readonly property Item target: Window.window ? Window.window.activeFocusItem : null
    // Cast to the templates, which every styled control derives from (the styles' Control is one type of its own).
    readonly property bool shown: {
        const control = target as T.Control
        if (control)
            return control.visualFocus
        const field = target as T.TextField
        return field !== null && (field.focusReason === Qt.TabFocusReason || field.focusReason === Qt.BacktabFocusReason)
    }
    // The focused control's rectangle in the ring's coordinates, refreshed every frame the window draws, so the
    // ring follows scrolling and moving controls.
    property rect area: Qt.rect(0, 0, 0, 0)

    // The control last shown with the ring. A control disabled while its work runs (重新检测) drops the focus to
    // a scope around it; enabled again, it takes the focus back, unless the user has moved it meanwhile.
    property Item ringed: null
    readonly property bool ringedEnabled: ringed !== null && ringed.enabled
    onRingedEnabledChanged: {
        if (ringedEnabled && ringed.visible && fellBackFrom(ringed))
            refocus(ringed)
    }
    function fellBackFrom(item) {
        if (!target || target === item)
            return true
        for (let p = item.parent; p; p = p.parent)
            if (p === target)
                return true
        return false
    }
    function refocus(item) {
        const control = item as T.Control
        if (item.activeFocus && control)
            control.focusReason = Qt.TabFocusReason
        else
            item.forceActiveFocus(Qt.TabFocusReason)
    }

    // Scrolls the nearest vertically scrolling view around the control so that it shows, with some room.
    function reveal(item) {
        for (let p = item.parent; p; p = p.parent) {
            const view = p as Flickable
            if (!view || view.contentHeight <= view.height)
                continue
            const r = item.mapToItem(view.contentItem, 0, 0, item.width, item.height)
            const room = 24
            let y = view.contentY
            if (r.y - room < y)
                y = r.y - room
            else if (r.y + r.height + room > y + view.height)
                y = r.y + r.height + room - view.height
            view.contentY = Math.max(view.originY, Math.min(y, view.originY + view.contentHeight - view.height))
            return
        }
    }

    function place() {
        if (!shown || !target)
            return
        if (ringed !== target)
            reveal(target)
        ringed = target
        const r = target.mapToItem(root, 0, 0, target.width, target.height)
        if (r.x !== area.x || r.y !== area.y || r.width !== area.width || r.height !== area.height)
            area = r
    }
    onTargetChanged: place()
    onShownChanged: place()
    Connections {
        target: root.Window.window
        function onAfterAnimating() {
            root.place()
        }
    }

    Rectangle {
        objectName: "focusRingShape"
        visible: root.shown
        x: root.area.x - 3
        y: root.area.y - 3
        width: root.area.width + 6
        height: root.area.height + 6
        radius: Math.min(9, height / 2)
        color: "transparent"
        border.width: 2
        border.color: Theme.focusRing
    }
}
