pragma ComponentBehavior: Bound
import QtQuick
import QtQuick.Controls
import Vexlo.Components
import Vexlo.Detail
import Vexlo.Store

// One app of the catalogue in full: header with the get button, facts, previews, description, features,
// version history, download links and reviews; information and related apps in the side column.
StorePage {
    id: root
    objectName: "appDetailView"

    readonly property var detail: Store.detail
    readonly property bool hasDetail: detail !== undefined && detail !== null
    readonly property var app: hasDetail ? detail.app : undefined
    readonly property string categoryName: app && app.categoryName !== undefined ? app.categoryName : ""
    readonly property color appTint: Theme.color(app ? app.accent : "")

    DescriptionModel {
        id: descriptionModel
        text: root.app ? root.app.description : ""
    }
    VersionModel {
        id: versionModel
        versions: root.hasDetail ? root.detail.versions : undefined
    }
    ReviewModel {
        id: reviewModel
        reviews: root.hasDetail ? root.detail.reviews : []
    }

    Row {
        width: parent.width
        spacing: 22
        visible: root.hasDetail

        Column {
            id: main
            width: parent.width - side.width - parent.spacing
            spacing: 24

            // 1. Header: icon, name with badges, tagline, rating line; the get button at the right end.
            Item {
                width: parent.width
                implicitHeight: Math.max(icon.height, headerText.implicitHeight, getButton.implicitHeight)

                AppIconView {
                    id: icon
                    size: 88
                    glyph: root.app ? root.app.glyph : ""
                    accent: root.app ? root.app.accent : ""
                    accent2: root.app ? root.app.accent2 : ""
                }
                Column {
                    id: headerText
                    anchors.left: icon.right
                    anchors.leftMargin: 18
                    anchors.right: getButton.left
                    anchors.rightMargin: 14
                    anchors.verticalCenter: icon.verticalCenter
                    spacing: 5

                    Flow {
                        width: parent.width
                        spacing: 8
                        StoreLabel {
                            objectName: "detailName"
                            text: root.app ? root.app.name : ""
                            size: 22.5
                            font.bold: true
                        }
                        DetailBadge {
                            objectName: "badgeStaffPick"
                            visible: root.app ? root.app.staffPick : false
                            text: "编辑精选"
                            tint: Theme.accent
                        }
                        DetailBadge {
                            objectName: "badgeEditorsChoice"
                            visible: root.app ? root.app.editorsChoice : false
                            text: "编辑推荐"
                            tint: Theme.editorsChoice
                        }
                        DetailBadge {
                            objectName: "badgeFree"
                            visible: root.app ? root.app.isFree : false
                            text: "免费"
                            tint: Theme.green
                        }
                    }
                    StoreLabel {
                        objectName: "detailTagline"
                        width: parent.width
                        text: root.app ? root.app.tagline : ""
                        size: 13.1
                        color: Theme.secondary
                        wrapMode: Text.Wrap
                    }
                    Row {
                        spacing: 6
                        StarRow {
                            rating: root.app ? root.app.rating : 0
                            showNumber: true
                            size: 11
                            anchors.verticalCenter: parent.verticalCenter
                        }
                        StoreLabel {
                            objectName: "detailRatingCount"
                            text: "· " + (root.app ? root.app.ratingCount : 0) + " 个评价"
                            size: 11.5
                            color: Theme.secondary
                            anchors.verticalCenter: parent.verticalCenter
                        }
                        StoreLabel {
                            objectName: "detailCategory"
                            text: root.categoryName !== "" ? "· " + root.categoryName : ""
                            size: 11.5
                            color: Theme.tertiary
                            anchors.verticalCenter: parent.verticalCenter
                        }
                    }
                }
                GetButton {
                    id: getButton
                    objectName: "getArea"
                    anchors.right: parent.right
                    anchors.verticalCenter: icon.verticalCenter
                    app: root.app
                    unlocked: root.hasDetail ? root.detail.unlocked : false
                    needsSponsor: root.hasDetail ? root.detail.needsSponsor : false
                }
            }

            // 2. Information strip.
            Rectangle {
                objectName: "infoStrip"
                width: parent.width
                height: strip.implicitHeight + 24
                radius: 12
                color: Theme.card
                border.width: 1
                border.color: Theme.hairline
                Row {
                    id: strip
                    anchors.centerIn: parent
                    readonly property real cellWidth: (parent.width - 24 - 5 * 1) / 6
                    InfoCell { width: strip.cellWidth; label: "版本"; value: root.app ? root.app.version : "" }
                    InfoDivider { anchors.verticalCenter: parent.verticalCenter }
                    InfoCell { width: strip.cellWidth; label: "大小"; value: root.app ? root.app.size : "" }
                    InfoDivider { anchors.verticalCenter: parent.verticalCenter }
                    InfoCell { width: strip.cellWidth; label: "架构"; value: root.app ? root.app.archLabel : "" }
                    InfoDivider { anchors.verticalCenter: parent.verticalCenter }
                    InfoCell { width: strip.cellWidth; label: "最低系统"; value: root.app ? root.app.minOs : "" }
                    InfoDivider { anchors.verticalCenter: parent.verticalCenter }
                    InfoCell {
                        width: strip.cellWidth
                        label: "下载量"
                        value: root.app ? Theme.compact(root.app.downloads) : ""
                    }
                    InfoDivider { anchors.verticalCenter: parent.verticalCenter }
                    InfoCell {
                        width: strip.cellWidth
                        label: "更新于"
                        value: root.app ? Theme.formatDate(root.app.updatedAt) : ""
                    }
                }
            }

            // 3. Previews.
            SectionBlock {
                width: parent.width
                title: "预览"
                Row {
                    id: shots
                    width: parent.width
                    spacing: 10
                    Repeater {
                        model: 3
                        ScreenshotTile {
                            objectName: "screenshotTile"
                            width: (shots.width - 20) / 3
                            app: root.app
                        }
                    }
                }
            }

            // 4. Description, "## " lines as subheadings.
            SectionBlock {
                width: parent.width
                title: "关于这款软件"
                Column {
                    width: parent.width
                    spacing: 6
                    Repeater {
                        model: descriptionModel
                        StoreLabel {
                            objectName: heading ? "descriptionHeading" : "descriptionLine"
                            required property string line
                            required property bool heading
                            width: parent.width
                            text: line
                            size: heading ? 13.1 : 12.4
                            font.weight: heading ? Font.DemiBold : Font.Normal
                            topPadding: heading ? 4 : 0
                            wrapMode: Text.Wrap
                            lineHeight: 1.15
                        }
                    }
                }
            }

            // 5. Features.
            SectionBlock {
                width: parent.width
                title: "主要功能"
                visible: root.app ? root.app.features.length > 0 : false
                Column {
                    width: parent.width
                    spacing: 7
                    Repeater {
                        model: root.app ? root.app.features : []
                        Row {
                            id: feature
                            objectName: "featureRow"
                            required property string modelData
                            spacing: 8
                            SymbolIcon {
                                name: "checkmark.circle.fill"
                                size: 13
                                color: root.appTint
                                anchors.verticalCenter: parent.verticalCenter
                            }
                            StoreLabel {
                                objectName: "featureText"
                                text: feature.modelData
                                size: 12.4
                                anchors.verticalCenter: parent.verticalCenter
                            }
                        }
                    }
                }
            }

            // 6. Version history, only when the record has a version list.
            SectionBlock {
                objectName: "versionSection"
                width: parent.width
                title: "历史版本"
                visible: versionModel.present
                Column {
                    width: parent.width
                    spacing: 8
                    StoreLabel {
                        objectName: "versionCaption"
                        text: versionModel.caption
                        size: 11
                        color: Theme.secondary
                    }
                    Repeater {
                        model: versionModel
                        CardFrame {
                            id: versionRow
                            objectName: "versionRow"
                            required property string version
                            required property string size
                            required property string released
                            required property string notes
                            required property bool current
                            width: parent.width
                            height: versionText.implicitHeight + 20
                            radius: 10

                            Column {
                                id: versionText
                                x: 12
                                anchors.verticalCenter: parent.verticalCenter
                                width: parent.width - 24 - versionButton.width - 12
                                spacing: 3
                                Row {
                                    spacing: 8
                                    StoreLabel {
                                        objectName: "versionName"
                                        text: versionRow.version
                                        size: 12.4
                                        font.weight: Font.DemiBold
                                        anchors.verticalCenter: parent.verticalCenter
                                    }
                                    DetailBadge {
                                        objectName: "versionCurrent"
                                        visible: versionRow.current
                                        text: "当前"
                                        tint: Theme.accent
                                        anchors.verticalCenter: parent.verticalCenter
                                    }
                                    StoreLabel {
                                        text: versionRow.size
                                        size: 10.6
                                        color: Theme.secondary
                                        anchors.verticalCenter: parent.verticalCenter
                                    }
                                    StoreLabel {
                                        objectName: "versionDate"
                                        text: versionRow.released
                                        size: 10.6
                                        color: Theme.tertiary
                                        anchors.verticalCenter: parent.verticalCenter
                                    }
                                }
                                StoreLabel {
                                    objectName: "versionNotes"
                                    visible: versionRow.notes !== ""
                                    width: parent.width
                                    text: versionRow.notes
                                    size: 11
                                    color: Theme.secondary
                                    wrapMode: Text.Wrap
                                }
                            }
                            StoreButton {
                                id: versionButton
                                objectName: "versionDownload"
                                anchors.right: parent.right
                                anchors.rightMargin: 12
                                anchors.verticalCenter: parent.verticalCenter
                                kind: "bordered"
                                small: true
                                size: 11
                                text: "下载 " + versionRow.version
                                onClicked: Store.loadNetdisk(root.app)
                            }
                        }
                    }
                }
            }

            // 7. Download links.
            NetdiskPanel {
                objectName: "netdiskPanel"
                width: parent.width
            }

            // 8. Ratings and the first reviews.
            SectionBlock {
                width: parent.width
                title: "评分与评价"
                Column {
                    width: parent.width
                    spacing: 12
                    StarRow {
                        rating: root.app ? root.app.rating : 0
                        showNumber: true
                        size: 14
                    }
                    StoreLabel {
                        objectName: "noReviews"
                        visible: reviewRows.count === 0
                        text: "还没有评价"
                        size: 12
                        color: Theme.tertiary
                    }
                    Repeater {
                        id: reviewRows
                        model: reviewModel
                        ReviewRow {
                            objectName: "reviewRow"
                            width: parent.width
                        }
                    }
                }
            }
        }

        // Side column.
        Column {
            id: side
            width: 232
            spacing: 14

            SideBox {
                objectName: "infoBox"
                width: parent.width
                title: "信息"
                SideRow { width: parent.width; k: "开发者"; v: root.app ? root.app.developer : "" }
                SideRow {
                    objectName: "sideCategory"
                    width: parent.width
                    k: "类别"
                    v: root.categoryName !== "" ? root.categoryName : "—"
                }
                SideRow { width: parent.width; k: "授权"; v: root.app && root.app.isFree ? "免费" : "赞助会员" }
                SideRow { width: parent.width; k: "架构"; v: root.app ? root.app.archLabel : "" }
                SideRow { width: parent.width; k: "系统要求"; v: root.app ? root.app.minOs : "" }
            }

            SideBox {
                objectName: "relatedBox"
                width: parent.width
                title: "同类推荐"
                visible: root.hasDetail && root.detail.related.length > 0
                Repeater {
                    model: AppListModel {
                        records: root.hasDetail ? root.detail.related : []
                        limit: 4
                    }
                    AbstractButton {
                        id: related
                        objectName: "relatedApp"
                        required property string slug
                        required property string name
                        required property string glyph
                        required property string accent
                        required property string accent2
                        width: parent.width
                        implicitHeight: 34
                        hoverEnabled: true
                        focusPolicy: Qt.StrongFocus
                        text: name
                        Accessible.name: name
                        Keys.onReturnPressed: clicked()
                        Keys.onEnterPressed: clicked()
                        onClicked: Navigator.openApp(related.slug)
                        background: Rectangle {
                            radius: 7
                            color: related.hovered ? Theme.cardHover : "transparent"
                            border.width: related.visualFocus ? 1 : 0
                            border.color: Theme.accent
                        }
                        contentItem: Row {
                            spacing: 8
                            AppIconView {
                                size: 26
                                glyph: related.glyph
                                accent: related.accent
                                accent2: related.accent2
                                anchors.verticalCenter: parent.verticalCenter
                            }
                            StoreLabel {
                                text: related.name
                                size: 12
                                anchors.verticalCenter: parent.verticalCenter
                            }
                        }
                    }
                }
            }

            StoreButton {
                objectName: "openOnWeb"
                width: parent.width
                kind: "bordered"
                symbol: "safari"
                text: "在浏览器中查看"
                onClicked: Store.openOnWeb("/app/" + root.app.slug)
            }
        }
    }
}
