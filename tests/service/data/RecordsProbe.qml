// Reads a home record the way the screens do.
import QtQml
import Vexlo.Service
QtObject {
    property var home
    property string secondTop: home.top[1].slug
    property string arch: home.top[0].archLabel
    property bool billingKnown: home.billingEnabled !== undefined
    property bool hasMember: home.member !== undefined
    property string nickname: home.member ? home.member.nickname : ""
}
