import QtQuick
import Vexlo.Window
import Vexlo.Store

// Start-up benchmark: reports the moment the discover page shows the loaded home payload, then ends the program.
Item {
    required property var window // the store window (app/Main.qml)

    readonly property bool discoverDrawn: window.pageName === "discoverView" && Store.home !== undefined
                                          && Store.home !== null
    onDiscoverDrawnChanged: if (discoverDrawn) Shell.reportWhenDrawn(window)
    Component.onCompleted: if (discoverDrawn) Shell.reportWhenDrawn(window)
}
