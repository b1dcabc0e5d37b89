import QtQuick
import QtQuick.Templates as T
import LoopWren.Ui

// The button that shows a hotkey and, while capturing, asks for the keys in red.
T.AbstractButton {
    id: root
    FocusRing { shown: root.visualFocus; radius: 9 }
    property bool capturing: false

    implicitWidth: Math.max(110, leftPadding + contentItem.implicitWidth + rightPadding)
    implicitHeight: topPadding + contentItem.implicitHeight + bottomPadding
    topPadding: 5
    bottomPadding: 5
    leftPadding: 10
    rightPadding: 10

    HoverHandler { id: hover }

    background: Rectangle {
        radius: 6
        color: root.capturing ? Theme.alpha(Theme.redNeon, 0.12) : Qt.rgba(0, 0, 0, hover.hovered ? 0.5 : 0.4)
        border.width: 1
        border.color: root.capturing ? Theme.alpha(Theme.redNeon, 0.8) : Qt.rgba(1, 1, 1, 0.15)
    }
    contentItem: UiText {
        objectName: "label"
        text: root.text
        size: 10
        font.weight: Font.Bold
        color: root.capturing ? Theme.redNeon : "white"
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
    }
}
