// Reads the display helpers and a home record the way the screens do.
import QtQml
import Vexlo.Service
QtObject {
    property var home
    property string count: Display.compact(12345)
    property string symbol: Display.glyph("app")
    property var tint: Display.color("#0A84FF")
    property var firstStop: Display.gradient("#FF0000", "#00FF00")[0]
    property string date: Display.formatDate("2024-05-01T20:30:00Z")
    property string secondTop: home.top[1].slug
    property string arch: home.top[0].archLabel
    property int tagCount: home.featured[0].tags.length
    property bool billingKnown: home.billingEnabled !== undefined
    property bool hasMember: home.member !== undefined
    property string nickname: home.member ? home.member.nickname : ""
    property string site: home.site.name
}
