import QtQuick
import Vexlo.Harness
import Vexlo.Store

// Start-up benchmark: reports the moment the discover page shows the loaded home payload, then ends the program.
Item {
    required property var window // the store window (app/Main.qml)

    readonly property bool discoverDrawn: window.pageName === "discoverView" && Store.home !== undefined
                                          && Store.home !== null
    onDiscoverDrawnChanged: if (discoverDrawn) Harness.reportWhenDrawn(window)
    Component.onCompleted: if (discoverDrawn) Harness.reportWhenDrawn(window)
}
