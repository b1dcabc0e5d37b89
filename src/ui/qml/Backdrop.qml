import QtQuick

// The translucent backdrop, in one of the named tones: "window" (the base under everything), "sidebar",
// "content" and "notice" (a card floating over the content). Behind the window the desktop shows
// through (blurred by the window manager where it can); without a compositor the tones tint the opaque
// dark-glass base the window paints, so the hierarchy of sidebar, content and window stays the same.
// Within the window they tint this window's own content, which a blurSource, when given, shows blurred.
Item {
    id: root

    property string tone: "content"
    property bool behindWindow: true
    property Item blurSource: null

    readonly property color tint: {
        if (!behindWindow)
            return tone === "notice" ? Qt.rgba(0.05, 0.05, 0.08, 0.72) : Qt.rgba(0.42, 0.42, 0.5, 1.0)
        switch (tone) {
        case "window":
            return Theme.translucent ? Qt.rgba(0.06, 0.055, 0.09, 0.66) : Qt.rgba(0, 0, 0, 0)
        case "sidebar":
            return Theme.translucent ? Qt.rgba(0, 0, 0, 0.24) : Qt.rgba(0, 0, 0, 0.3)
        default:
            return Theme.translucent ? Qt.rgba(0.12, 0.11, 0.16, 0.22) : Qt.rgba(1, 1, 1, 0.018)
        }
    }

    // The opaque base: a dark violet-grey glass, lighter at the top.
    Rectangle {
        anchors.fill: parent
        visible: !Theme.translucent && root.behindWindow && root.tone === "window"
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
