import QtQuick
import Vexlo.Components

// One symbol of the app's vocabulary by its dotted name; unknown names draw the "app.dashed" glyph.
Text {
    property string name
    property real size: 13
    readonly property bool known: Theme.knownSymbol(name)
    text: Theme.symbol(name)
    font.family: Theme.symbolFamily
    font.pixelSize: Math.round(size)
    color: Theme.text
    horizontalAlignment: Text.AlignHCenter
    verticalAlignment: Text.AlignVCenter
    textFormat: Text.PlainText
}
