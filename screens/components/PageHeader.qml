import QtQuick
import Vexlo.Components

// The header of every store page: eyebrow, title and subtitle.
Column {
    id: root
    property string eyebrow
    property string title
    property string subtitle
    spacing: 4

    StoreLabel {
        objectName: "pageEyebrow"
        text: root.eyebrow
        size: 10.1
        font.weight: Font.DemiBold
        font.letterSpacing: 0.7
        color: Theme.accent
    }
    StoreLabel {
        objectName: "pageTitle"
        width: root.width
        text: root.title
        size: 24.6
        font.bold: true
        wrapMode: Text.Wrap
    }
    StoreLabel {
        objectName: "pageSubtitle"
        width: root.width
        visible: text.length > 0
        text: root.subtitle
        size: 11.9
        color: Theme.secondary
        wrapMode: Text.Wrap
    }
}
