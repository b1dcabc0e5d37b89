import QtQuick
import QtQuick.Templates as T
import LoopWren.Ui

// The settings page: its header over seven section cards, scrolling as one column. Every control writes
// its setting the moment it changes; nothing waits for a confirmation.
Flickable {
    id: root
    required property ContentViewState viewState
    required property SettingsState settings

    contentHeight: page.implicitHeight + 40
    boundsBehavior: Flickable.StopAtBounds
    clip: true
    T.ScrollBar.vertical: ThinScrollBar { }
    readonly property FocusReveal focusReveal: FocusReveal { flickable: root }

    Rectangle {
        parent: root
        anchors.fill: parent
        z: -1
        color: Qt.rgba(0, 0, 0, 0.03)
    }

    Column {
        id: page
        x: 20
        y: 20
        width: root.width - 40
        spacing: 24

        Column {
            id: header
            spacing: 4
            bottomPadding: 4
            UiText {
                objectName: "settingsTitle"
                text: root.viewState.texts["Setting"]
                size: 20
                font.weight: Font.Black
            }
            UiText {
                objectName: "settingsDescription"
                text: root.viewState.texts["Setting Description"]
                size: 11
                color: Theme.gray
            }
        }

        LanguageSection { width: parent.width; viewState: root.viewState; settings: root.settings }
        InterfaceSection { width: parent.width; viewState: root.viewState; settings: root.settings }
        HotkeySection { width: parent.width; viewState: root.viewState; settings: root.settings }
        TargetWindowSection { width: parent.width; viewState: root.viewState; settings: root.settings }
        PlaybackSection { width: parent.width; viewState: root.viewState; settings: root.settings }
        HumanPlaybackSection { width: parent.width; viewState: root.viewState; settings: root.settings }
        UpdateSection { width: parent.width; settings: root.settings }
    }
}
