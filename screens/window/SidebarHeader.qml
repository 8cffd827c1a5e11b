import QtQuick
import Vexlo.Components
import QtQuick.Controls
import Vexlo.Window

// The title above a group of sidebar rows.
Label {
    width: parent ? parent.width : implicitWidth
    topPadding: 10
    bottomPadding: 3
    leftPadding: 10
    font.pixelSize: 11
    font.weight: Font.DemiBold
    color: Theme.muted
}
