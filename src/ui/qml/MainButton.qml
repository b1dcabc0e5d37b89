import QtQuick
import QtQuick.Templates as T

// Record and playback: a bold label beside a small mark, on a coloured, glowing plate.
T.AbstractButton {
    id: root
    FocusRing { shown: root.visualFocus; radius: 11 }

    // "circle", "square" (the pulsing stop mark) or "symbol"
    property string mark: "circle"
    property string symbol
    property color markColor: "white"
    property color plateColor: Qt.rgba(0, 0, 0, 0.3)
    property color glowColor: "transparent"
    property color labelColor: "white"
    property bool pulsing: false

    implicitWidth: leftPadding + contentItem.implicitWidth + rightPadding
    implicitHeight: topPadding + contentItem.implicitHeight + bottomPadding
    topPadding: 8
    bottomPadding: 8
    leftPadding: 14
    rightPadding: 14
    scale: hover.hovered && enabled ? 1.04 : 1.0
    HoverScale on scale { }
    opacity: enabled ? 1.0 : 0.5

    HoverHandler { id: hover }

    background: Item {
        NeonGlow {
            target: plate
            radius: 6
            targetRadius: 8
            color: root.glowColor
            visible: root.glowColor.a > 0
        }
        Rectangle { id: plate; anchors.fill: parent; radius: 8; color: root.plateColor }
    }

    contentItem: Row {
        spacing: 8
        Item {
            width: 10
            height: 14
            anchors.verticalCenter: parent.verticalCenter
            Rectangle {
                visible: root.mark === "circle"
                anchors.centerIn: parent
                width: 10
                height: 10
                radius: 5
                color: root.markColor
            }
            Rectangle {
                id: square
                visible: root.mark === "square"
                anchors.centerIn: parent
                width: 10
                height: 10
                radius: 2
                color: "white"
                SequentialAnimation on scale {
                    running: root.pulsing && square.visible
                    loops: Animation.Infinite
                    NumberAnimation { from: 0.85; to: 1.25; duration: 600; easing.type: Easing.InOutQuad }
                    NumberAnimation { from: 1.25; to: 0.85; duration: 600; easing.type: Easing.InOutQuad }
                }
            }
            SymbolIcon {
                visible: root.mark === "symbol"
                anchors.centerIn: parent
                name: root.symbol
                size: 11
                color: root.labelColor
            }
        }
        UiText {
            objectName: "label"
            anchors.verticalCenter: parent.verticalCenter
            text: root.text
            size: 11
            font.weight: Font.Black
            color: root.labelColor
        }
    }
}
