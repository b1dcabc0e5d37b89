import QtQuick
import LoopWren.Ui

// The two global hotkeys, each captured by pressing it, and their reset.
SettingsSection {
    id: root
    required property ContentViewState viewState
    required property SettingsState settings

    objectName: "hotkeySection"
    symbol: "keyboard"
    title: viewState.texts["GLOBAL HOTKEYS"]
    description: viewState.texts["Global Hotkeys Description"]

    HotkeyRow {
        title: root.viewState.texts["Toggle Recording"]
        subtitle: root.viewState.texts["Start or complete macro captures."]
        buttonName: "recordCaptureButton"
        buttonText: root.settings.recordButtonText
        desktopTrigger: root.settings.recordDesktopTrigger
        desktopTriggerName: "recordDesktopTrigger"
        capturing: root.settings.capturingRecord
        onCaptureRequested: root.settings.startHotkeyCapture(0)
    }
    Divider { width: parent.width; color: Qt.rgba(1, 1, 1, 0.05) }
    HotkeyRow {
        title: root.viewState.texts["Toggle Playback"]
        subtitle: root.viewState.texts["Run or cancel macro executions."]
        buttonName: "playbackCaptureButton"
        buttonText: root.settings.playbackButtonText
        desktopTrigger: root.settings.playbackDesktopTrigger
        desktopTriggerName: "playbackDesktopTrigger"
        capturing: root.settings.capturingPlayback
        onCaptureRequested: root.settings.startHotkeyCapture(1)
    }

    below: BarButton {
        objectName: "resetHotkeysButton"
        symbol: "arrow.counterclockwise"
        text: root.viewState.texts["Reset Hotkeys"]
        textSize: 10
        foreground: Qt.rgba(1, 1, 1, 0.6)
        plateColor: Qt.rgba(1, 1, 1, 0.04)
        outlineColor: "transparent"
        radius: 6
        topPadding: 6
        bottomPadding: 6
        onClicked: root.settings.resetHotkeys()
    }
}
