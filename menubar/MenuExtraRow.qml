import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Vexlo.Components
import Vexlo.MenuBar

// One app in the panel's result area; pressing it opens the app's detail in the store window.
AbstractButton {
    id: root
    objectName: "resultRow"

    required property string slug
    required property string name
    required property string tagline
    required property string glyph
    required property string accent
    required property string accent2

    hoverEnabled: true
    leftPadding: 10
    rightPadding: 10
    topPadding: 4
    bottomPadding: 4

    background: Rectangle {
        color: root.hovered ? Theme.cardHover : Theme.shade(0)
    }
    contentItem: RowLayout {
        spacing: 8
        AppIconView {
            glyph: root.glyph
            accent: root.accent
            accent2: root.accent2
            size: 24
        }
        ColumnLayout {
            Layout.fillWidth: true
            spacing: 0
            StoreLabel {
                objectName: "rowName"
                Layout.fillWidth: true
                text: root.name
                size: 11.9
                font.weight: Font.Medium
                elide: Text.ElideRight
                maximumLineCount: 1
            }
            StoreLabel {
                objectName: "rowTagline"
                Layout.fillWidth: true
                text: root.tagline
                size: 10.1
                color: Theme.secondary
                elide: Text.ElideRight
                maximumLineCount: 1
            }
        }
        SymbolIcon {
            name: "chevron.right"
            size: 8.1
            color: Theme.tertiary
        }
    }
}
