import QtQuick
import LoopWren.Ui

// How the window behaves around deleting, recording, playback and quitting.
SettingsSection {
    id: root
    required property ContentViewState viewState
    required property SettingsState settings
    readonly property QtObject engine: settings.engine

    objectName: "interfaceSection"
    symbol: "paintpalette"
    title: viewState.texts["USER INTERFACE"]

    SettingsCheckBox {
        objectName: "showDeleteConfirmationBox"
        text: root.viewState.texts["Show delete confirmation"]
        checked: root.engine.showDeleteConfirmation
        onToggled: root.engine.showDeleteConfirmation = checked
    }
    Divider { width: parent.width; color: Qt.rgba(1, 1, 1, 0.05) }
    SettingsCheckBox {
        objectName: "hideWhenRecordingBox"
        enabled: root.engine.canHideThisApplication
        text: root.viewState.texts["Hide LoopWren when recording"]
        checked: root.engine.hideWhenRecording
        onToggled: root.engine.hideWhenRecording = checked
    }
    Divider { width: parent.width; color: Qt.rgba(1, 1, 1, 0.05) }
    SettingsCheckBox {
        objectName: "hideOnPlaybackBox"
        enabled: root.engine.canHideThisApplication
        text: root.viewState.texts["Hide LoopWren on playback"]
        checked: root.engine.hideOnPlayback
        onToggled: root.engine.hideOnPlayback = checked
    }
    UiText {
        objectName: "hideUnavailableNote"
        visible: !root.engine.canHideThisApplication
        width: parent.width
        leftPadding: 22
        text: root.viewState.texts["Hide Unavailable Note"]
        size: 10
        color: Theme.gray
        wrapMode: Text.WordWrap
    }
    Divider { width: parent.width; color: Qt.rgba(1, 1, 1, 0.05) }
    SettingsCheckBox {
        objectName: "showCloseSavePromptBox"
        text: root.viewState.texts["Show notification"]
        checked: root.engine.showCloseSavePrompt
        onToggled: root.engine.showCloseSavePrompt = checked
    }
}
