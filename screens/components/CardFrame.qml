import QtQuick
import Vexlo.Components

// The bordered background of cards, cells and list rows: white, hairline outline, lighter when hovered.
Rectangle {
    property bool hovered: false
    radius: 12
    color: hovered ? Theme.cardHover : Theme.card
    border.width: 1
    border.color: Theme.hairline
    Behavior on color { ColorAnimation { duration: 120 } }
}
