import QtQuick
import Vexlo.Wallpapers

// The wallpapers section of the store window: the gallery, which loads its own list.
WallpaperGallery {
    objectName: "wallpapersView"
}
