import QtQuick
import Vexlo.Components

// In place of what a page could not load: what failed, why (`reason`) and a retry, held back while `busy`.
EmptyState {
    id: root
    property string reason: ""
    property bool busy: false
    signal retry()

    icon: "exclamationmark.triangle.fill"
    title: "加载失败"
    hint: root.reason

    StoreButton {
        objectName: "failureRetry"
        anchors.horizontalCenter: parent.horizontalCenter
        kind: "bordered"
        symbol: "arrow.clockwise"
        text: "重试"
        enabled: !root.busy
        onClicked: root.retry()
    }
}
