import QtQuick
import QtQuick.Templates as T

// The editor's footer buttons: symbol and optional text on a tinted, outlined plate.
T.AbstractButton {
    id: root
    FocusRing { shown: root.visualFocus; radius: 9 }
    property string symbol
    property color foreground: "white"
    property color plateColor: Qt.rgba(1, 1, 1, 0.06)
    property color outlineColor: Theme.glassyBorder

    implicitHeight: 30
    topPadding: 7
    bottomPadding: 7
    opacity: enabled ? 1.0 : 0.35

    background: Rectangle {
        radius: 6
        color: root.plateColor
        border.width: 1
        border.color: root.outlineColor
    }
    contentItem: Item {
        implicitHeight: 16
        Row {
            anchors.centerIn: parent
            spacing: 5
            SymbolIcon {
                anchors.verticalCenter: parent.verticalCenter
                name: root.symbol
                size: 11
                color: root.foreground
            }
            UiText {
                visible: root.text.length > 0
                anchors.verticalCenter: parent.verticalCenter
                text: root.text
                size: 11
                font.weight: Font.Bold
                color: root.foreground
            }
        }
    }
}
