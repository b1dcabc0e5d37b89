import QtQuick
import Qt5Compat.GraphicalEffects

// The "logo" picture, scaled to fill and clipped to a rounded square.
Item {
    id: root
    property url source
    readonly property bool ready: picture.status === Image.Ready

    Image {
        id: picture
        anchors.fill: parent
        source: root.source
        fillMode: Image.PreserveAspectCrop
        visible: false
    }
    OpacityMask {
        anchors.fill: parent
        visible: root.ready
        source: picture
        maskSource: Rectangle { width: root.width; height: root.height; radius: 8 }
    }
}
