import QtQuick
import Vexlo.Store

// Saves a picture of each catalogue page (PNG, into the folder given as second argument), for comparing the pages
// before and after a change.
Item {
    id: probe
    property Window window
    property var shots: [["discover", ""], ["top", ""], ["latest", ""], ["categories", ""], ["categories", "dev"],
                         ["categories", "bench"], ["installed", ""]]
    property int next: 0
    readonly property bool homeReady: !!window && !!Store.home
    onHomeReadyChanged: if (homeReady) Qt.callLater(timer.start)

    function advance() {
        if (next >= shots.length) {
            quitTimer.start()
            return
        }
        if (shots[next][0] === "categories")
            Navigator.showCategory(shots[next][1])
        else
            Navigator.showSection(shots[next][0])
        next += 1
        timer.start()
    }

    Timer {
        id: timer
        interval: 2500
        onTriggered: {
            if (probe.next === 0) {
                probe.advance()
                return
            }
            // The picture is taken at the next frame: the next page is shown only once it has been saved.
            const shot = probe.shots[probe.next - 1]
            const name = Qt.application.arguments[2] + "/" + shot[0] + (shot[1] ? "-" + shot[1] : "") + ".png"
            probe.window.contentItem.grabToImage(result => {
                result.saveToFile(name)
                probe.advance()
            })
        }
    }
    Timer {
        id: quitTimer
        interval: 1500
        onTriggered: Qt.quit()
    }
}
