import QtQuick
import QtQuick.Templates as T

// "+ Wait", Import and Export: symbol and text on a light, outlined plate.
T.AbstractButton {
    id: root
    FocusRing { shown: root.visualFocus; radius: root.radius + 3 }

    property string symbol
    property color foreground: "white"
    property color plateColor: Qt.rgba(1, 1, 1, 0.05)
    property color outlineColor: Theme.glassyBorder
    property real radius: 8
    property real textSize: 11
    property real hoverScale: 1.0

    implicitWidth: leftPadding + contentItem.implicitWidth + rightPadding
    implicitHeight: topPadding + contentItem.implicitHeight + bottomPadding
    topPadding: 7
    bottomPadding: 7
    leftPadding: 10
    rightPadding: 10
    scale: hover.hovered && enabled ? hoverScale : 1.0
    HoverScale on scale { }
    opacity: enabled ? 1.0 : 0.5

    HoverHandler { id: hover }

    background: Rectangle {
        radius: root.radius
        color: root.plateColor
        border.width: 1
        border.color: root.outlineColor
    }
    contentItem: Row {
        spacing: 5
        SymbolIcon {
            anchors.verticalCenter: parent.verticalCenter
            name: root.symbol
            size: root.textSize
            color: root.foreground
        }
        UiText {
            objectName: "label"
            anchors.verticalCenter: parent.verticalCenter
            text: root.text
            size: root.textSize
            font.weight: Font.Bold
            color: root.foreground
        }
    }
}
