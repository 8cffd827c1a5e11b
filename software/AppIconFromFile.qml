import QtQuick
import Vexlo.Components
import Vexlo.Software

// The icon of an application bundle, read on a loader thread at the drawn size; a grey rounded square with the
// app symbol when the bundle has none that loads.
Item {
    id: root
    property string bundlePath
    property real size: 38
    readonly property bool placeholderShown: image.status === Image.Error || image.status === Image.Null
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

    Rectangle {
        objectName: "bundleIconPlaceholder"
        anchors.fill: parent
        visible: root.placeholderShown
        radius: 0.22 * root.size
        color: Theme.tint(Theme.text, 0.06)
        SymbolIcon {
            anchors.centerIn: parent
            name: "app"
            size: 0.45 * root.size
            color: Theme.tertiary
        }
    }
}
