import QtQuick
import QtQuick.Window
import LoopWren.Ui

// The one main window.
Window {
    id: window
    required property ContentViewState viewState
    required property SettingsState settingsState
    required property bool translucent

    width: 1040
    height: 680
    minimumWidth: 850
    minimumHeight: 550
    title: "LoopWren"
    visible: true
    color: translucent ? "transparent" : "#0f0e15"

    ContentView {
        objectName: "contentView"
        anchors.fill: parent
        viewState: window.viewState
        settingsState: window.settingsState
    }

    Component.onCompleted: {
        Theme.translucent = translucent
        viewState.watchWindow(window)
    }
    onVisibleChanged: if (visible) viewState.windowAppeared()
}
