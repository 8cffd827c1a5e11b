import QtQuick
import Vexlo.Components
import Vexlo.Service
import QtQuick.Controls
import QtQuick.Layouts
import Vexlo.Store
import Vexlo.Window

// The main window's content: sidebar on the left; on the right the toolbar, the routed page and the toast.
// It owns the two store sheets and applies the links opened from outside.
Item {
    id: root
    objectName: "storeWindow"

    // The home payload is loaded the first time the window appears on screen.
    readonly property bool onScreen: Window.window !== null && Window.window.visible
    property bool started: false
    onOnScreenChanged: appear()
    Component.onCompleted: {
        DeepLinks.attach()
        appear()
    }

    function appear() {
        if (!onScreen || started)
            return
        started = true
        Store.bootstrap()
    }

    // Commands of the "商店" menu.
    function refreshStore() {
        Store.bootstrap()
    }
    function backToDiscover() {
        Store.detail = undefined
        Store.section = "discover"
    }
    function openSite() {
        Store.openOnWeb("/")
    }

    function handleDeepLink(url) {
        const target = DeepLinks.parse(url)
        if (target.kind === "app") {
            Store.openDetail(target.argument)
        } else if (target.kind === "section") {
            Store.section = target.argument
            Store.detail = undefined
        }
    }

    Connections {
        target: DeepLinks
        function onLinkOpened(url) {
            root.handleDeepLink(url)
        }
    }

    SplitView {
        anchors.fill: parent
        orientation: Qt.Horizontal
        handle: Rectangle {
            implicitWidth: 1
            color: Theme.shade(0.12)
        }

        SidebarView {
            SplitView.minimumWidth: 200
            SplitView.preferredWidth: 216
            SplitView.maximumWidth: 250
        }

        Rectangle {
            id: detailColumn
            SplitView.fillWidth: true
            color: Theme.surface

            ColumnLayout {
                anchors.fill: parent
                spacing: 0

                Item {
                    id: toolbar
                    objectName: "toolbar"
                    Layout.fillWidth: true
                    Layout.preferredHeight: 44
                    RowLayout {
                        anchors.fill: parent
                        anchors.rightMargin: 14
                        spacing: 8
                        Item { Layout.fillWidth: true }
                        ToolButton {
                            objectName: "refreshButton"
                            implicitWidth: 30
                            implicitHeight: 28
                            hoverEnabled: true
                            background: Rectangle {
                                radius: 6
                                color: parent.down ? Theme.shade(0.10)
                                                   : parent.hovered ? Theme.shade(0.05) : "transparent"
                            }
                            ToolTip.visible: hovered
                            ToolTip.delay: 600
                            ToolTip.text: "刷新"
                            contentItem: SymbolIcon {
                                name: "arrow.clockwise"
                                size: 18
                                color: Theme.strong
                            }
                            onClicked: Store.bootstrap()
                        }
                        AccountChip {}
                    }
                    Rectangle {
                        anchors { left: parent.left; right: parent.right; bottom: parent.bottom }
                        height: 1
                        color: Theme.hairline
                    }
                }

                DetailRouter {
                    id: router
                    Layout.fillWidth: true
                    Layout.fillHeight: true
                    clip: true
                }
            }

            ToastOverlay {
                anchors.fill: parent
            }
        }
    }

    SheetHost {
        objectName: "loginSheet"
        title: "登录"
        page: "qrc:/qt/qml/Vexlo/Screens/LoginSheet.qml"
        requested: Store.showLogin
        onDismissed: Store.showLogin = false
    }
    SheetHost {
        objectName: "checkoutSheet"
        title: "赞助结算"
        page: "qrc:/qt/qml/Vexlo/Screens/CheckoutSheet.qml"
        requested: Store.showCheckout
        onDismissed: Store.showCheckout = false
    }

    // The object name of the page the content area shows (tests and the start-up benchmark read it).
    readonly property string pageName: router.currentPage ? router.currentPage.objectName : ""
}
