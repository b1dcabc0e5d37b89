import QtQuick
import QtQuick.Templates as T

// A slim scroll bar that shows while the view can scroll.
T.ScrollBar {
    id: root
    implicitWidth: 8
    implicitHeight: 8
    padding: 2
    policy: T.ScrollBar.AsNeeded
    visible: size < 1.0
    contentItem: Rectangle {
        implicitWidth: 4
        implicitHeight: 4
        radius: 2
        color: Qt.rgba(1, 1, 1, root.pressed ? 0.35 : 0.18)
    }
}
