import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Vexlo.Components
import Vexlo.Wallpapers

// One wallpaper of the gallery: thumbnail (its gradient while loading or when it cannot load), title,
// collection and resolution, and either its 4K / 5K buttons or, while it is being saved, how far that got.
CardFrame {
    id: root
    objectName: "wallpaperCard"

    required property int index
    required property string slug
    required property string title
    required property string caption
    required property string c1
    required property string c2
    required property url thumb
    required property bool saved

    property bool busy: false
    property bool unlocked: false
    // "1.2 MB / 4.8 MB" while saving when the size is known; empty otherwise.
    property string progressText: ""
    // 0..1 while saving with a known size, negative otherwise.
    property real progress: -1

    signal download(bool full)
    signal cancel()
    signal setAsDesktop()

    hovered: hover.hovered
    implicitHeight: column.implicitHeight + 1
    clip: true

    HoverHandler { id: hover }

    Column {
        id: column
        width: parent.width
        spacing: 0

        Item {
            width: parent.width
            height: 148
            clip: true
            GradientBox {
                objectName: "wallpaperPlaceholder"
                anchors.fill: parent
                visible: image.status !== Image.Ready
                from: Theme.color(root.c1)
                to: Theme.color(root.c2)
            }
            Image {
                id: image
                objectName: "wallpaperThumb"
                anchors.fill: parent
                asynchronous: true
                fillMode: Image.PreserveAspectCrop
                sourceSize.width: 520
                source: root.thumb
                visible: status === Image.Ready
                scale: hover.hovered ? 1.03 : 1.0
                Behavior on scale { NumberAnimation { duration: 160 } }
            }
        }

        ColumnLayout {
            x: 12
            width: parent.width - 24
            spacing: 2
            Item { Layout.preferredHeight: 8 }
            StoreLabel {
                objectName: "wallpaperTitle"
                Layout.fillWidth: true
                text: root.title
                size: 12
                font.weight: Font.DemiBold
                elide: Text.ElideRight
            }
            StoreLabel {
                objectName: "wallpaperCaption"
                Layout.fillWidth: true
                text: root.caption
                size: 9
                opacity: 0.7
                elide: Text.ElideRight
            }

            // While saving: the spinner and how far the file has come.
            RowLayout {
                objectName: "wallpaperSaving"
                visible: root.busy
                Layout.fillWidth: true
                Layout.topMargin: 6
                Layout.preferredHeight: 24
                spacing: 8
                BusyIndicator {
                    objectName: "wallpaperSpinner"
                    running: root.busy
                    Layout.preferredWidth: 18
                    Layout.preferredHeight: 18
                    padding: 0
                }
                ProgressBar {
                    objectName: "wallpaperProgress"
                    visible: root.progress >= 0
                    Layout.fillWidth: true
                    from: 0
                    to: 1
                    value: Math.max(0, root.progress)
                }
                StoreLabel {
                    objectName: "wallpaperProgressText"
                    visible: text !== ""
                    text: root.progressText
                    size: 9
                    color: Theme.secondary
                }
                Item { Layout.fillWidth: root.progress < 0 }
                CapsuleButton {
                    objectName: "wallpaperCancel"
                    text: "取消"
                    onClicked: root.cancel()
                }
            }

            RowLayout {
                objectName: "wallpaperButtons"
                visible: !root.busy
                Layout.fillWidth: true
                Layout.topMargin: 6
                Layout.preferredHeight: 24
                spacing: 6
                CapsuleButton {
                    objectName: "download4k"
                    text: "4K"
                    onClicked: root.download(false)
                }
                CapsuleButton {
                    objectName: "download5k"
                    text: "5K"
                    symbol: root.unlocked ? "arrow.down" : "lock.fill"
                    onClicked: root.download(true)
                }
                Item { Layout.fillWidth: true }
                CapsuleButton {
                    objectName: "setAsDesktop"
                    visible: root.saved
                    text: "设为桌面"
                    symbol: "photo"
                    onClicked: root.setAsDesktop()
                }
            }
            Item { Layout.preferredHeight: 10 }
        }
    }
}
