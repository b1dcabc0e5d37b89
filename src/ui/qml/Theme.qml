pragma Singleton
import QtQuick

// The palette and the type scale every view shares.
QtObject {
    readonly property color purpleNeon: Qt.rgba(0.639, 0.361, 0.957, 1.0)
    readonly property color redNeon: Qt.rgba(1.0, 0.231, 0.353, 1.0)
    readonly property color greenNeon: Qt.rgba(0.18, 0.8, 0.443, 1.0)
    readonly property color neonBlue: Qt.rgba(0.0, 0.588, 1.0, 1.0)
    readonly property color glassBg: Qt.rgba(1, 1, 1, 0.04)
    readonly property color glassyBorder: Qt.rgba(1, 1, 1, 0.08)

    // The desktop's gray, orange and yellow in their dark-appearance tones.
    readonly property color gray: Qt.rgba(0.557, 0.557, 0.576, 1.0)
    readonly property color orange: Qt.rgba(1.0, 0.624, 0.039, 1.0)
    readonly property color yellow: Qt.rgba(1.0, 0.839, 0.039, 1.0)

    readonly property string fontFamily: "Inter"

    // Whether the desktop composites the window: set once by the window when it opens.
    property bool translucent: false

    function tone(name) {
        switch (name) {
        case "blue": return neonBlue
        case "orange": return orange
        case "yellow": return yellow
        default: return purpleNeon
        }
    }

    function white(opacity) { return Qt.rgba(1, 1, 1, opacity) }
    function black(opacity) { return Qt.rgba(0, 0, 0, opacity) }
    function alpha(c, opacity) { return Qt.rgba(c.r, c.g, c.b, opacity) }
}
