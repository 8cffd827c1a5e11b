import QtQuick
import Vexlo.Components

// A grid whose column count follows its width: as many columns as fit at `minimumCellWidth`.
Grid {
    id: root
    property real minimumCellWidth: 190
    property real maximumCellWidth: 260
    spacing: 10
    columns: Math.max(1, Math.floor((width + spacing) / (minimumCellWidth + spacing)))
    readonly property real cellWidth: Math.min(maximumCellWidth * 1.6,
                                               Math.floor((width - (columns - 1) * spacing) / columns))
}
