import QtQuick

// The "+0.25s" chip at the end of a row.
Rectangle {
    id: root
    property string text
    property color foreground: Theme.gray
    property color outline: "transparent"

    implicitWidth: row.implicitWidth + 14
    implicitHeight: row.implicitHeight + 6
    radius: 6
    color: Qt.rgba(0, 0, 0, 0.2)
    border.width: outline.a > 0 ? 1 : 0
    border.color: outline

    Row {
        id: row
        anchors.centerIn: parent
        spacing: 4
        SymbolIcon {
            anchors.verticalCenter: parent.verticalCenter
            name: "clock.fill"
            size: 8
            color: root.foreground
        }
        UiText {
            objectName: "delayText"
            anchors.verticalCenter: parent.verticalCenter
            text: root.text
            size: 10
            color: root.foreground
        }
    }
}
