import QtQuick
import Vexlo.Components

// The 1-point vertical hairline between information cells.
Rectangle {
    implicitWidth: 1
    implicitHeight: 28
    color: Theme.hairline
}
