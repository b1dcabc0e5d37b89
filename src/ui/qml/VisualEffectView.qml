import QtQuick

// The translucent backdrop. Behind-window uses let the desktop show through (blurred by the window
// manager where it can); without a compositor they tint the opaque dark-glass base the window paints,
// so the hierarchy of sidebar, content and window stays the same. Within-window uses tint this window's
// own content, which a blurSource, when given, shows blurred.
Item {
    id: root

    property int material: Theme.contentBackground
    property int blendingMode: Theme.behindWindow
    property Item blurSource: null

    readonly property color tint: {
        if (blendingMode === Theme.withinWindow)
            return material === Theme.hudWindow ? Qt.rgba(0.05, 0.05, 0.08, 0.72) : Qt.rgba(0.42, 0.42, 0.5, 1.0)
        switch (material) {
        case Theme.underWindowBackground:
            return Theme.translucent ? Qt.rgba(0.06, 0.055, 0.09, 0.66) : Qt.rgba(0, 0, 0, 0)
        case Theme.sidebarMaterial:
            return Theme.translucent ? Qt.rgba(0, 0, 0, 0.24) : Qt.rgba(0, 0, 0, 0.3)
        default:
            return Theme.translucent ? Qt.rgba(0.12, 0.11, 0.16, 0.22) : Qt.rgba(1, 1, 1, 0.018)
        }
    }

    // The opaque base: a dark violet-grey glass, lighter at the top.
    Rectangle {
        anchors.fill: parent
        visible: !Theme.translucent && root.blendingMode === Theme.behindWindow
                 && root.material === Theme.underWindowBackground
        gradient: Gradient {
            orientation: Gradient.Vertical
            GradientStop { position: 0.0; color: "#1b1824" }
            GradientStop { position: 1.0; color: "#0f0e15" }
        }
    }

    // Loaded by address only where a blur is asked for: naming the type here would load the effects
    // module with the window.
    Loader {
        anchors.fill: parent
        active: root.blurSource !== null
        source: "BackdropBlur.qml"
        onLoaded: item.blurSource = Qt.binding(() => root.blurSource)
    }

    Rectangle {
        anchors.fill: parent
        color: root.tint
    }
}
