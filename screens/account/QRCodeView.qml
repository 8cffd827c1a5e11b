import QtQuick
import QtQuick.Controls
import Vexlo.Account
import Vexlo.Components

// The order's QR code as the store service renders it, pixel-exact on white; a placeholder with a spinner
// until it has loaded (and for good when it cannot be, or is not on the service's own address).
Item {
    id: root
    property string qr
    property real size: 160
    readonly property bool loaded: image.loaded

    implicitWidth: size + (loaded ? 20 : 0)
    implicitHeight: implicitWidth

    Rectangle {
        objectName: "qrFrame"
        visible: root.loaded
        anchors.fill: parent
        radius: 10
        color: Theme.card
        border.width: 1
        border.color: Theme.hairline
    }
    QrCodeImage {
        id: image
        objectName: "qrImage"
        visible: loaded
        x: 10
        y: 10
        width: root.size
        height: root.size
        path: root.qr
    }
    Item {
        objectName: "qrPlaceholder"
        visible: !root.loaded
        width: root.size
        height: root.size
        Rectangle {
            anchors.fill: parent
            radius: 10
            color: Theme.text
            opacity: 0.05
        }
        BusyIndicator {
            anchors.centerIn: parent
            running: parent.visible
            implicitWidth: 22
            implicitHeight: 22
        }
    }
}
