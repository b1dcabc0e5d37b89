import QtQuick
import QtQuick.Window
import LoopWren.Ui

// The one main window.
Window {
    id: window
    required property ContentViewState viewState
    required property SettingsState settingsState
    required property LibraryState libraryState
    required property bool translucent

    width: 1040
    height: 680
    // Qt's Wayland plugin holds a window to its minimum size whatever the compositor configures, so a
    // tiling compositor that gives less would cut the window off. There the window asks for no
    // minimum and the layout adapts, scrolling below what its pages need.
    readonly property bool holdsMinimum: !Qt.platform.pluginName.startsWith("wayland")
    minimumWidth: holdsMinimum ? 850 : 0
    minimumHeight: holdsMinimum ? 550 : 0
    title: "LoopWren"
    visible: true
    color: translucent ? "transparent" : "#0f0e15"

    ContentView {
        objectName: "contentView"
        anchors.fill: parent
        viewState: window.viewState
        settingsState: window.settingsState
        libraryState: window.libraryState
    }

    Component.onCompleted: {
        Theme.translucent = translucent
        viewState.watchWindow(window)
    }
    onVisibleChanged: if (visible) viewState.windowAppeared()
}
