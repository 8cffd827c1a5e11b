pragma ComponentBehavior: Bound
import QtQuick

import QtQuick.Controls
import QtQuick.Layouts
import QtQuick.Window
import Vexlo.Components
import Vexlo.Device

// Guided checks that need the buyer's eyes, fingers and ears: colour fields for the screen, a keyboard map
// that lights the keys pressed, and a tone on each speaker. Each answer lands on the card and in the report.
CardFrame {
    id: card
    property DeviceCheck check
    readonly property var fieldNames: ["白色", "黑色", "红色", "绿色", "蓝色", "灰色"]
    property bool screenAsking: false
    property bool speakerPlayed: false
    property string keysAtAnswer: ""
    property alias colourWindow: colourWindow
    property alias keyboardPanel: keyboardPanel
    property alias keyboard: keyboardMap

    height: column.implicitHeight + 32

    function answerColor(answer, goodAnswer) {
        return answer === goodAnswer ? Theme.good : Theme.danger
    }
    function startScreen() {
        // Full screen on the screen the page's window is on.
        // qmllint disable type
        // (Qt 6.4's qmltypes do not list QQuickWindow's screen, a property it inherits from QWindow.)
        if (card.Window.window && card.Window.window.screen)
            colourWindow.screen = card.Window.window.screen
        // qmllint enable type
        // Cover the screen even where no window manager applies the full-screen state.
        const screen = colourWindow.screen
        if (screen) {
            colourWindow.x = screen.virtualX
            colourWindow.y = screen.virtualY
            colourWindow.width = screen.width
            colourWindow.height = screen.height
        }
        colourWindow.field = 0
        colourWindow.showFullScreen()
        colourWindow.requestActivate()
    }
    function answerKeyboard(answer) {
        keysAtAnswer = keyboardMap.seenCount + " / " + keyboardMap.count
        check.setAnswer("keyboard", answer, keyboardMap.seenCount, keyboardMap.count)
        keyboardPanel.close()
    }
    function startKeyboard() {
        keyboardMap.reset()
        keyboardPanel.open()
    }

    ColumnLayout {
        id: column
        anchors { left: parent.left; right: parent.right; top: parent.top; margins: 16; leftMargin: 18 }
        spacing: 12

        RowLayout {
            spacing: 8
            SymbolIcon { name: "wrench.and.screwdriver"; size: 16; color: Theme.accent }
            StoreLabel { text: "动手检查"; size: 14; font.bold: true }
            StoreLabel { text: "读不出来的只能亲自看、按、听"; color: Theme.secondary; size: 11.5 }
        }

        // 屏幕检查
        RowLayout {
            objectName: "screenCheck"
            Layout.fillWidth: true
            spacing: 10
            SymbolIcon { name: "rectangle.on.rectangle"; size: 16; color: Theme.secondary }
            ColumnLayout {
                Layout.fillWidth: true
                spacing: 2
                StoreLabel { text: "屏幕检查"; font.weight: Font.DemiBold }
                StoreLabel {
                    text: card.screenAsking ? "看完了：屏幕上有没有亮点、暗点或边缘漏光？"
                                            : "全屏依次显示白、黑、红、绿、蓝、灰，方向键或点击切换，Esc 退出"
                    size: 11.5
                    color: Theme.secondary
                }
            }
            StoreLabel {
                objectName: "screenAnswer"
                visible: card.check.screenAnswer !== "" && !card.screenAsking
                text: card.check.screenAnswer
                color: card.answerColor(card.check.screenAnswer, "无异常")
                font.weight: Font.DemiBold
            }
            DeviceButton {
                objectName: "screenNoProblem"
                visible: card.screenAsking
                text: "无异常"
                onClicked: { card.check.setAnswer("screen", text); card.screenAsking = false }
            }
            DeviceButton {
                objectName: "screenProblem"
                visible: card.screenAsking
                text: "有坏点或漏光"
                onClicked: { card.check.setAnswer("screen", text); card.screenAsking = false }
            }
            DeviceButton {
                objectName: "screenStart"
                visible: !card.screenAsking
                text: card.check.screenAnswer === "" ? "开始" : "重新检查"
                onClicked: card.startScreen()
            }
        }

        // 键盘检查
        RowLayout {
            objectName: "keyboardCheck"
            Layout.fillWidth: true
            spacing: 10
            SymbolIcon { name: "keyboard"; size: 16; color: Theme.secondary }
            ColumnLayout {
                Layout.fillWidth: true
                spacing: 2
                StoreLabel { text: "键盘检查"; font.weight: Font.DemiBold }
                StoreLabel {
                    text: "逐个按下每个键，按过的键在键盘图上亮起；与输入法无关"
                    size: 11.5
                    color: Theme.secondary
                }
            }
            StoreLabel {
                objectName: "keyboardAnswer"
                visible: card.check.keyboardAnswer !== ""
                text: card.check.keyboardAnswer + "（" + card.keysAtAnswer + " 个键）"
                color: card.answerColor(card.check.keyboardAnswer, "全部正常")
                font.weight: Font.DemiBold
            }
            DeviceButton {
                objectName: "keyboardStart"
                text: card.check.keyboardAnswer === "" ? "开始" : "重新检查"
                onClicked: card.startKeyboard()
            }
        }

        // 扬声器检查
        RowLayout {
            objectName: "speakerCheck"
            Layout.fillWidth: true
            spacing: 10
            SymbolIcon { name: "waveform"; size: 16; color: Theme.secondary }
            ColumnLayout {
                Layout.fillWidth: true
                spacing: 2
                StoreLabel { text: "扬声器检查"; font.weight: Font.DemiBold }
                StoreLabel {
                    objectName: "speakerHint"
                    Layout.fillWidth: true
                    wrapMode: Text.Wrap
                    text: tone.side === "left" ? "正在播放：左声道"
                        : tone.side === "right" ? "正在播放：右声道"
                        : !tone.canPlay ? "没有找到可用的声音输出，无法检查扬声器；接上扬声器或耳机后再试"
                        : "先在左声道、再在右声道播放一小段提示音，分别确认"
                    size: 11.5
                    color: tone.side !== "" ? Theme.accent : Theme.secondary
                }
            }
            DeviceButton {
                objectName: "speakerPlay"
                symbol: "waveform"
                text: card.speakerPlayed ? "再播一次" : "播放"
                // The output is tried first: the channels are asked about only once a tone was heard.
                enabled: tone.canPlay && tone.side === ""
                onClicked: {
                    tone.play()
                    card.speakerPlayed = card.speakerPlayed || tone.side !== ""
                }
            }
        }
        Repeater {
            model: ListModel {
                ListElement { key: "speakerLeft"; title: "左声道" }
                ListElement { key: "speakerRight"; title: "右声道" }
            }
            delegate: RowLayout {
                id: speaker
                required property string key
                required property string title
                readonly property string answer: key === "speakerLeft" ? card.check.speakerLeftAnswer
                                                                       : card.check.speakerRightAnswer
                objectName: key
                visible: card.speakerPlayed || answer !== ""
                Layout.fillWidth: true
                Layout.leftMargin: 26
                spacing: 10
                StoreLabel { text: speaker.title; color: Theme.secondary; Layout.preferredWidth: 60 }
                StoreLabel {
                    objectName: speaker.key + "Answer"
                    Layout.fillWidth: true
                    text: speaker.answer
                    color: card.answerColor(speaker.answer, "正常")
                    font.weight: Font.DemiBold
                }
                DeviceButton {
                    objectName: speaker.key + "Good"
                    text: "正常"
                    onClicked: card.check.setAnswer(speaker.key, text)
                }
                DeviceButton {
                    objectName: speaker.key + "Bad"
                    text: "无声或有杂音"
                    onClicked: card.check.setAnswer(speaker.key, text)
                }
            }
        }
    }

    TonePlayer { id: tone }
    KeyboardMap {
        id: keyboardMap
        active: keyboardPanel.opened
    }

    // The colour fields, full screen on the screen the window is on.
    Window {
        id: colourWindow
        objectName: "colourWindow"
        property int field: 0
        transientParent: card.Window.window || null
        flags: Qt.Window | Qt.FramelessWindowHint
        color: Theme.screenTestColors[field]
        title: "屏幕检查"

        function step(by) {
            const next = field + by
            if (next < 0)
                return
            if (next >= Theme.screenTestColors.length) {
                finish()
                return
            }
            field = next
            hint.opacity = 1
            hintTimer.restart()
        }
        function finish() {
            close()
            card.screenAsking = true
        }
        onVisibleChanged: if (visible) { hint.opacity = 1; hintTimer.restart(); keys.forceActiveFocus() }

        Item {
            id: keys
            anchors.fill: parent
            focus: true
            Keys.onPressed: event => {
                switch (event.key) {
                case Qt.Key_Right: case Qt.Key_Down: case Qt.Key_Space: case Qt.Key_Return: case Qt.Key_Enter:
                    colourWindow.step(1); break
                case Qt.Key_Left: case Qt.Key_Up:
                    colourWindow.step(-1); break
                case Qt.Key_Escape:
                    colourWindow.finish(); break
                default:
                    return
                }
                event.accepted = true
            }
        }
        MouseArea {
            anchors.fill: parent
            cursorShape: Qt.BlankCursor
            onClicked: colourWindow.step(1)
        }
        Rectangle {
            id: hint
            objectName: "colourHint"
            anchors { horizontalCenter: parent.horizontalCenter; bottom: parent.bottom; bottomMargin: 40 }
            width: hintText.implicitWidth + 28
            height: 34
            radius: 17
            color: Theme.text
            Behavior on opacity { NumberAnimation { duration: 400 } }
            StoreLabel {
                id: hintText
                anchors.centerIn: parent
                text: card.fieldNames[colourWindow.field] + "  " + (colourWindow.field + 1) + " / "
                      + Theme.screenTestColors.length + "  ·  方向键或点击切换，Esc 退出"
                color: Theme.card
            }
        }
        Timer {
            id: hintTimer
            interval: 1800
            onTriggered: hint.opacity = 0
        }
    }

    // The keyboard map; every key event goes to it while it is open.
    Popup {
        id: keyboardPanel
        objectName: "keyboardPanel"
        parent: Overlay.overlay
        anchors.centerIn: parent
        modal: true
        closePolicy: Popup.NoAutoClose
        padding: 22
        readonly property real unit: 40
        background: Rectangle { radius: 14; color: Theme.card; border.color: Theme.hairline }

        contentItem: ColumnLayout {
            spacing: 14
            RowLayout {
                StoreLabel { text: "键盘检查"; size: 16; font.bold: true }
                Item { Layout.fillWidth: true }
                StoreLabel {
                    objectName: "keysSeen"
                    text: "已按过 " + keyboardMap.seenCount + " / " + keyboardMap.count + " 个键"
                    color: Theme.secondary
                }
            }
            Item {
                objectName: "keyboardMap"
                implicitWidth: 14.5 * keyboardPanel.unit
                implicitHeight: keyboardMap.rows * keyboardPanel.unit
                Repeater {
                    model: keyboardMap
                    delegate: Rectangle {
                        id: keyCap
                        required property string label
                        required property int row
                        required property real offset
                        required property real keyWidth
                        required property bool lit
                        x: offset * keyboardPanel.unit
                        y: row * keyboardPanel.unit
                        width: keyWidth * keyboardPanel.unit - 4
                        height: keyboardPanel.unit - 4
                        radius: 6
                        color: lit ? Theme.accent : Theme.background
                        border.width: 1
                        border.color: Theme.hairline
                        StoreLabel {
                            anchors.centerIn: parent
                            text: keyCap.label
                            size: keyCap.label.length > 2 ? 10 : 13
                            color: keyCap.lit ? Theme.card : Theme.text
                        }
                    }
                }
            }
            StoreLabel {
                text: "fn 键和部分功能键由系统处理，可能不会亮起。"
                size: 11.5
                color: Theme.secondary
            }
            RowLayout {
                Layout.alignment: Qt.AlignRight
                spacing: 10
                DeviceButton {
                    objectName: "keyboardProblem"
                    text: "有按键失灵"
                    onClicked: {
                        card.answerKeyboard(text)
                    }
                }
                DeviceButton {
                    objectName: "keyboardGood"
                    prominent: true
                    text: "全部正常"
                    onClicked: {
                        card.answerKeyboard(text)
                    }
                }
            }
        }
    }
}
