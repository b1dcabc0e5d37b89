import QtQuick

// The soft coloured glow the accent shapes cast, with no offset, placed beneath its target. Drawn as a
// few widening, fading rounded rectangles: at these small radii it reads like a blurred shadow and needs
// no shader effect, which keeps the effects module out of the window's start-up.
Item {
    id: root
    required property Item target
    property real radius: 4
    property real targetRadius: 0
    property color color: "transparent"

    x: target.x
    y: target.y
    width: target.width
    height: target.height

    Repeater {
        model: 4
        delegate: Rectangle {
            id: ring
            required property int index
            readonly property real spread: root.radius * (ring.index + 1) / 4
            x: -ring.spread
            y: -ring.spread
            width: root.width + 2 * ring.spread
            height: root.height + 2 * ring.spread
            radius: root.targetRadius + ring.spread
            color: Qt.rgba(root.color.r, root.color.g, root.color.b, root.color.a * 0.42 * (1 - ring.index / 4))
        }
    }
}
