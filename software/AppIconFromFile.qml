import QtQuick
import Vexlo.Components
import Vexlo.Software

// The icon of an application bundle, read on a loader thread at the drawn size; a grey rounded square with the
// app symbol when the bundle has none that loads.
Item {
    id: root
    property string bundlePath
    property real size: 38
    readonly property bool placeholderShown: image.status === Image.Error || root.bundlePath === ""
    readonly property bool loaded: image.status === Image.Ready

    implicitWidth: size
    implicitHeight: size

    Image {
        id: image
        objectName: "bundleIconImage"
        anchors.fill: parent
        asynchronous: true
        smooth: true
        mipmap: true
        fillMode: Image.PreserveAspectFit
        sourceSize.width: Math.ceil(root.size * Screen.devicePixelRatio)
        sourceSize.height: Math.ceil(root.size * Screen.devicePixelRatio)
        source: root.bundlePath !== "" ? AppIcons.source(root.bundlePath) : ""
    }

    // Made only when needed: a row is built before the list is first drawn, and most icons load.
    Loader {
        anchors.fill: parent
        active: root.placeholderShown
        // Qt 6.4 makes no bound component in a Loader, so qmllint takes the ids used inside as unqualified.
        // qmllint disable unqualified
        sourceComponent: Rectangle {
            objectName: "bundleIconPlaceholder"
            radius: 0.22 * root.size
            color: Theme.tint(Theme.text, 0.06)
            SymbolIcon {
                anchors.centerIn: parent
                name: "app"
                size: 0.45 * root.size
                color: Theme.tertiary
            }
        }
        // qmllint enable unqualified
    }
}
