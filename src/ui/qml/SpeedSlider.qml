import QtQuick
import QtQuick.Templates as T
import LoopWren.Ui

// A horizontal slider in the brand colour.
T.Slider {
    id: root
    FocusRing { shown: root.visualFocus; radius: 7 }

    implicitWidth: 200
    implicitHeight: 20
    padding: 0
    snapMode: T.Slider.SnapAlways

    background: Rectangle {
        x: root.leftPadding
        y: (root.height - height) / 2
        width: root.availableWidth
        height: 4
        radius: 2
        color: Qt.rgba(1, 1, 1, 0.12)
        Rectangle {
            width: root.handle.x - root.leftPadding + root.handle.width / 2
            height: parent.height
            radius: 2
            color: Theme.purpleNeon
        }
    }
    handle: Rectangle {
        x: root.leftPadding + root.visualPosition * (root.availableWidth - width)
        y: (root.height - height) / 2
        width: 14
        height: 14
        radius: 7
        color: root.pressed ? "#e8ddfb" : "white"
        border.width: 1
        border.color: Theme.alpha(Theme.purpleNeon, 0.8)
    }
}
