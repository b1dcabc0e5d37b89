import QtQuick
import QtQuick.Templates as T

// The trash button: red while there is something to clear. No hover effect.
T.AbstractButton {
    id: root
    FocusRing { shown: root.visualFocus; radius: 11 }
    property bool hasEvents: false

    implicitWidth: 16 + 16
    implicitHeight: 16 + 16
    padding: 8
    opacity: enabled ? 1.0 : 0.5

    background: Rectangle {
        radius: 8
        color: Qt.rgba(1, 1, 1, 0.04)
        border.width: root.hasEvents ? 1 : 0
        border.color: Theme.alpha(Theme.redNeon, 0.15)
    }
    contentItem: SymbolIcon {
        name: "trash.fill"
        size: 13
        color: root.hasEvents ? Theme.alpha(Theme.redNeon, 0.9) : Theme.gray
    }
}
