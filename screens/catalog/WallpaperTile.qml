import QtQuick
import Vexlo.Components
import QtQuick.Controls
import Vexlo.Service
import Vexlo.Catalog

// A wallpaper's thumbnail with its title and resolution; its gradient stands in while the thumbnail
// loads or when it cannot be loaded.
AbstractButton {
    id: root
    Accessible.name: root.wallpaper ? root.wallpaper.title : ""
    property var wallpaper
    // The colour behind the tile, used to round the thumbnail's corners.
    property color backdrop: Theme.background
    readonly property bool thumbnailShown: thumb.status === Image.Ready
    hoverEnabled: true
    height: 130
    implicitHeight: height

    background: Item {
        GradientBox {
            objectName: "wallpaperPlaceholder"
            anchors.fill: parent
            radius: 12
            visible: !root.thumbnailShown
            from: Theme.color(root.wallpaper ? root.wallpaper.c1 : "")
            to: Theme.color(root.wallpaper ? root.wallpaper.c2 : "")
        }
        Image {
            id: thumb
            objectName: "wallpaperThumb"
            anchors.fill: parent
            asynchronous: true
            cache: true
            fillMode: Image.PreserveAspectCrop
            sourceSize.width: 520
            source: root.wallpaper && root.wallpaper.thumbURL ? root.wallpaper.thumbURL : ""
            visible: root.thumbnailShown
            scale: root.hovered ? 1.02 : 1.0
            Behavior on scale { NumberAnimation { duration: 160 } }
        }
        Rectangle {
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.bottom: parent.bottom
            height: parent.height * 0.55
            gradient: Gradient {
                GradientStop { position: 0; color: Theme.shade(0) }
                GradientStop { position: 1; color: Theme.shade(0.45) }
            }
        }
        CornerMask {
            anchors.fill: parent
            radius: 12
            color: root.backdrop
        }
    }

    contentItem: Item {
        Column {
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.bottom: parent.bottom
            anchors.margins: 11
            spacing: 1
            StoreLabel {
                objectName: "wallpaperTitle"
                width: parent.width
                text: root.wallpaper ? root.wallpaper.title : ""
                size: 11.9
                font.weight: Font.DemiBold
                color: "white"
                elide: Text.ElideRight
            }
            StoreLabel {
                objectName: "wallpaperResolution"
                text: root.wallpaper ? root.wallpaper.resolution : ""
                size: 9.6
                color: Theme.light(0.65)
            }
        }
    }
}
