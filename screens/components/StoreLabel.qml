import QtQuick
import Vexlo.Components

// Text in the store's UI font; `size` is the design size in points, drawn one point per logical pixel.
Text {
    property real size: 12.4
    font.family: Theme.fontFamily
    font.pixelSize: Math.round(size)
    color: Theme.text
    textFormat: Text.PlainText
}
