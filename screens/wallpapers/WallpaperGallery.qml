pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import Vexlo.Components
import Vexlo.Wallpapers
import Vexlo.Store

// The wallpapers page: header, the sponsorship line, the collection chips and the grid of cards. The list is
// the page's own (reloaded whenever the chosen collection changes); saving goes through the store.
StorePage {
    id: root
    objectName: "wallpaperGallery"

    property alias collection: wallpapers.collection
    readonly property alias model: wallpapers

    WallpaperGalleryModel {
        id: wallpapers
        objectName: "wallpaperModel"
    }

    PageHeader {
        width: parent.width
        eyebrow: "壁纸"
        title: "为这块屏幕挑一张背景"
        subtitle: "5K 原图向赞助会员开放，4K 版本免费保存"
    }

    Item {
        width: parent.width
        height: 28
        Row {
            objectName: "unlockedLine"
            visible: wallpapers.unlocked
            anchors.verticalCenter: parent.verticalCenter
            spacing: 6
            SymbolIcon {
                name: "checkmark.seal.fill"
                size: 14
                color: Theme.accent
                anchors.verticalCenter: parent.verticalCenter
            }
            StoreLabel {
                text: "5K 原图已解锁"
                size: 12
                anchors.verticalCenter: parent.verticalCenter
            }
        }
        CapsuleButton {
            objectName: "unlockButton"
            visible: !wallpapers.unlocked
            anchors.verticalCenter: parent.verticalCenter
            text: "解锁 5K 原图"
            textSize: 12
            onClicked: Navigator.showSection("member")
        }
    }

    Row {
        objectName: "collectionChips"
        spacing: 8
        Repeater {
            // The collections, "all" first.
            model: ListModel {
                ListElement { key: "all"; name: "全部" }
                ListElement { key: "gradient"; name: "渐变" }
                ListElement { key: "abstract"; name: "抽象" }
                ListElement { key: "minimal"; name: "极简" }
            }
            CapsuleButton {
                id: chip
                required property string key
                required property string name
                objectName: "chip_" + key
                text: name
                textSize: 11.5
                filled: wallpapers.collection === key
                onClicked: wallpapers.collection = chip.key
            }
        }
    }

    // A load that failed says why, in place of a grid of another collection or none.
    FailureState {
        objectName: "wallpaperFailure"
        visible: wallpapers.failure !== ""
        width: parent.width
        reason: wallpapers.failure
        busy: wallpapers.loading
        onRetry: wallpapers.reload()
    }

    AdaptiveGrid {
        id: grid
        objectName: "wallpaperGrid"
        visible: wallpapers.failure === ""
        width: parent.width
        minimumCellWidth: 220
        maximumCellWidth: 320
        spacing: 14
        Repeater {
            model: wallpapers
            WallpaperCard {
                width: grid.cellWidth
                busy: Store.wallpaperBusy === slug
                unlocked: wallpapers.unlocked
                progress: busy ? wallpapers.progress : -1
                progressText: busy ? wallpapers.progressText : ""
                onDownload: full => wallpapers.download(index, full)
                onCancel: Store.cancelWallpaperDownload()
                onSetAsDesktop: wallpapers.setAsDesktop(slug)
            }
        }
    }
}
