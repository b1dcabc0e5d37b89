import QtQuick

// A hairline tinted white; horizontal unless vertical is set.
Rectangle {
    property bool vertical: false
    implicitWidth: vertical ? 1 : 0
    implicitHeight: vertical ? 0 : 1
    color: Qt.rgba(1, 1, 1, 0.08)
}
