import QtQuick
import Vexlo.Components
import Vexlo.Service
import QtQuick.Controls
import QtQuick.Layouts
import Vexlo.Store
import Vexlo.Window

// The main window's content: sidebar on the left; on the right the toolbar, the routed page and the toast.
// It holds the two store sheets and takes the links opened from outside once it is ready.
Item {
    id: root
    objectName: "storeWindow"

    // Where the system has no menu bar for the application (everywhere but macOS), the "商店" menu opens from a
    // button at the start of the toolbar.
    property bool menuInToolbar: false

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
        Navigator.openSection("discover")
    }
    function openSite() {
        Store.openOnWeb("/")
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
                        anchors.leftMargin: 10
                        anchors.rightMargin: 14
                        spacing: 8
                        Loader {
                            id: menuSlot
                            active: root.menuInToolbar
                            visible: active
                            sourceComponent: StoreMenuButton {}
                        }
                        Connections {
                            target: menuSlot.item as StoreMenuButton
                            function onRefreshRequested() {
                                root.refreshStore()
                            }
                            function onDiscoverRequested() {
                                root.backToDiscover()
                            }
                            function onSiteRequested() {
                                root.openSite()
                            }
                        }
                        ToolButton {
                            id: backButton
                            objectName: "backButton"
                            visible: router.route === "detail"
                            implicitHeight: 28
                            hoverEnabled: true
                            focusPolicy: Qt.StrongFocus
                            text: "返回"
                            Accessible.name: "返回"
                            background: Rectangle {
                                radius: 6
                                color: backButton.down ? Theme.shade(0.10)
                                                       : backButton.hovered ? Theme.shade(0.05) : "transparent"
                            }
                            ToolTip.visible: hovered
                            ToolTip.delay: 600
                            ToolTip.text: "返回商店"
                            contentItem: Row {
                                spacing: 4
                                SymbolIcon {
                                    name: "chevron.left"
                                    size: 14
                                    color: Theme.strong
                                    anchors.verticalCenter: parent.verticalCenter
                                }
                                StoreLabel {
                                    text: "返回"
                                    size: 12.4
                                    color: Theme.strong
                                    anchors.verticalCenter: parent.verticalCenter
                                }
                            }
                            Keys.onReturnPressed: clicked()
                            onClicked: {
                                Navigator.back()
                                Store.bootstrap()
                            }
                        }
                        Item { Layout.fillWidth: true }
                        // The pages drawn at start come from the last visit until the service answers.
                        Row {
                            objectName: "lastVisitNote"
                            visible: Store.homeFromLastVisit
                            spacing: 5
                            Accessible.role: Accessible.StaticText
                            Accessible.name: lastVisitText.text
                            SymbolIcon {
                                name: "clock.arrow.circlepath"
                                size: 13
                                color: Theme.tertiary
                                anchors.verticalCenter: parent.verticalCenter
                            }
                            StoreLabel {
                                id: lastVisitText
                                text: Store.loading ? "上次访问时的内容，正在更新…" : "上次访问时的内容"
                                size: 11.5
                                color: Theme.secondary
                                anchors.verticalCenter: parent.verticalCenter
                            }
                        }
                        ToolButton {
                            id: refreshButton
                            objectName: "refreshButton"
                            implicitWidth: 30
                            implicitHeight: 28
                            hoverEnabled: true
                            focusPolicy: Qt.StrongFocus
                            Accessible.name: "刷新"
                            background: Rectangle {
                                radius: 6
                                color: refreshButton.down ? Theme.shade(0.10)
                                                          : refreshButton.hovered ? Theme.shade(0.05) : "transparent"
                            }
                            ToolTip.visible: hovered
                            ToolTip.delay: 600
                            ToolTip.text: "刷新"
                            // The symbol turns while the store reloads.
                            contentItem: SymbolIcon {
                                objectName: "refreshSymbol"
                                name: "arrow.clockwise"
                                size: 18
                                color: Theme.strong
                                NumberAnimation on rotation {
                                    running: Store.loading
                                    from: 0
                                    to: 360
                                    duration: 900
                                    loops: Animation.Infinite
                                    alwaysRunToEnd: true
                                }
                            }
                            Keys.onReturnPressed: clicked()
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

    // Once a home payload is shown, a failed reload keeps the page and says so in a toast.
    Connections {
        target: Store
        function onErrorChanged() {
            if (Store.error !== "" && Store.home !== undefined && Store.home !== null)
                Store.showToast("刷新失败：" + Store.error)
        }
    }

    SheetHost {
        objectName: "loginSheet"
        page: "qrc:/qt/qml/Vexlo/Account/LoginSheet.qml"
        requested: Store.showLogin
        onDismissed: Navigator.closeLogin()
    }
    SheetHost {
        objectName: "checkoutSheet"
        page: "qrc:/qt/qml/Vexlo/Account/CheckoutSheet.qml"
        requested: Store.showCheckout
        onDismissed: Navigator.closeCheckout()
    }

    FocusRing {}

    // The object name of the page the content area shows (tests and the start-up benchmark read it).
    readonly property string pageName: router.currentPage ? router.currentPage.objectName : ""
}
