import QtQuick
import Vexlo.Screens

// One symbol of the app's vocabulary by its dotted name; unknown names draw the "app.dashed" glyph.
Text {
    property string name
    property real size: 13
    readonly property bool known: Symbols.known(name)
    text: Symbols.glyph(name)
    font.family: Symbols.family
    font.pixelSize: Math.round(size)
    color: Theme.text
    horizontalAlignment: Text.AlignHCenter
    verticalAlignment: Text.AlignVCenter
    textFormat: Text.PlainText
}
