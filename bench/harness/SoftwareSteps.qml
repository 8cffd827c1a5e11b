import QtQuick
import Vexlo.Store
import Vexlo.Harness

// The software manager's pictures for the screenshot tour: a scan with no rows yet, the sample list with its
// update markers (store updates with what they need of this Mac, and a developer's update) once the check is
// done, the uninstall sheet, the leftovers found after a removal, the sheet after each kind of failure, a
// removal with its toast and the empty page. The failing
// bundles are prepared by scripts/screenshots under /tmp/vexlo-software-shots (and /dev/shm for another file
// system); a picture whose bundle is missing shows the "no longer exists" message instead.
QtObject {
    id: steps
    required property var window
    // Asks the tour to show a section of the store window.
    signal showSection(string section)
    readonly property string shots: "/tmp/vexlo-software-shots"

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
    function page() { return find(window.contentItem, "softwareManagerView") }
    function listed() { const p = page(); return p !== null && !p.apps.scanning && p.apps.count > 0 }
    function checked() { return listed() && !page().apps.checking }
    function leftoversListed() { const s = sheet(); return s !== null && s.listing }
    function sheet() { const p = page(); return p ? p.sheet : null }
    function closeSheet() { const p = page(); if (p) p.uninstallTarget = null }
    function openSheet(name, path) {
        closeSheet()
        const p = page()
        if (!p)
            return
        for (let i = 0; i < p.apps.count; ++i) {
            const app = p.apps.get(i)
            if (path === "" && app.name === name) {
                p.uninstallTarget = app
                return
            }
        }
        p.uninstallTarget = { id: path, name: name, bundlePath: path, version: "1.0.0", sizeLabel: "1.2 MB" }
    }
    function fail(name, path) {
        openSheet(name, path)
        const s = sheet()
        if (s)
            s.confirm()
    }
    function failed() { const s = sheet(); return s !== null && !s.busy && s.error !== "" }

    readonly property var list: [
        { name: "software-scanning", shot: true, ready: () => true, prepare: () => {
            closeSheet()
            showSection("discover")
            showSection("softwareManager")
            Harness.saveWindowImage(window, Harness.screenshotDir + "/software-scanning.png")
        } },
        { name: "software-list", prepare: () => showSection("softwareManager"), ready: checked, settle: 1500 },
        { name: "software-sheet", prepare: () => openSheet("港湾终端", ""), ready: () => sheet() !== null,
          settle: 600 },
        { name: "software-leftovers", prepare: () => fail("港湾终端", ""), ready: leftoversListed, settle: 600 },
        { name: "software-sheet-gone", prepare: () => fail("旧版应用", shots + "/gone/Old.app"), ready: failed },
        { name: "software-sheet-readonly", prepare: () => fail("只读应用", shots + "/readonly/Locked.app"),
          ready: failed },
        { name: "software-sheet-system", prepare: () => fail("系统应用", shots + "/System/Core.app"), ready: failed },
        { name: "software-sheet-denied", prepare: () => fail("锁定应用", shots + "/immutable/Frozen.app"),
          ready: failed },
        { name: "software-sheet-failed", prepare: () => fail("外部应用", "/dev/shm/vexlo-software-shots/Far.app"),
          ready: failed },
        { name: "software-toast", prepare: () => fail("钥匙库", ""),
          ready: () => page() !== null && page().toast !== "", settle: 500 },
        { name: "software-empty", prepare: () => {
            closeSheet()
            const p = page()
            p.roots = [shots + "/empty"]
            p.apps.scan()
        }, ready: () => { const p = page(); return p !== null && !p.apps.scanning && p.apps.count === 0 } },
        // A fetch through a cloud-drive link is remembered: the get button offers 重新下载 with the version
        // fetched, and 已购项目 lists it.
        { name: "fetch-links", shot: true, prepare: () => { closeSheet(); showSection("discover"); Store.openDetail("tape-deck") },
          ready: () => !Store.detailLoading && !Store.netdiskBusy && Store.netdiskLinks.length > 0 },
        { name: "detail-fetched", prepare: () => Store.openNetdisk(Store.netdiskLinks[0]),
          ready: () => Store.installed["tape-deck"] !== undefined, settle: 900 },
        { name: "installed-fetched", prepare: () => showSection("installed"), ready: () => true }
    ]
}
