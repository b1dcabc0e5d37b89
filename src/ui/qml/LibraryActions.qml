import QtQuick
import LoopWren.Ui

// What can be done with the chosen macro; the buttons wrap in a narrow window.
Flow {
    id: root
    required property ContentViewState viewState
    required property LibraryState library
    readonly property var texts: viewState.texts
    readonly property bool idle: !viewState.isRecording && !viewState.isPlaying

    spacing: 8

    // Play turns into STOP while its macro plays; it is as wide as the wider of the two, so the buttons
    // after it (and the list below, where they wrap) never move under the pointer during a playback.
    BarButton {
        id: playSizer
        visible: false
        symbol: "play.fill"
        text: root.texts["Play"]
    }
    BarButton {
        id: stopSizer
        visible: false
        symbol: "stop.fill"
        text: root.texts["STOP"]
    }
    BarButton {
        objectName: "libraryPlay"
        width: Math.max(playSizer.implicitWidth, stopSizer.implicitWidth)
        symbol: root.library.currentPlaying ? "stop.fill" : "play.fill"
        text: root.library.currentPlaying ? root.texts["STOP"] : root.texts["Play"]
        foreground: root.library.currentPlaying ? "white" : Theme.greenNeon
        plateColor: root.library.currentPlaying ? Theme.purpleNeon : Theme.alpha(Theme.greenNeon, 0.12)
        outlineColor: Theme.alpha(Theme.greenNeon, 0.3)
        enabled: root.library.currentLoads && (root.idle || root.library.currentPlaying)
        onClicked: root.library.playAction()
    }
    BarButton {
        objectName: "libraryOpen"
        symbol: "folder"
        text: root.texts["Open"]
        enabled: root.library.currentLoads && root.idle
        onClicked: root.library.openAction()
    }
    BarButton {
        objectName: "libraryRename"
        symbol: "pencil"
        text: root.texts["Rename"]
        enabled: root.library.hasCurrent
        onClicked: root.library.renameAction()
    }
    BarButton {
        objectName: "libraryDuplicate"
        symbol: "doc.on.doc"
        text: root.texts["Duplicate"]
        enabled: root.library.hasCurrent
        onClicked: root.library.duplicateAction()
    }
    BarButton {
        objectName: "libraryDelete"
        symbol: "trash"
        text: root.texts["Delete"]
        foreground: Theme.redNeon
        enabled: root.library.hasCurrent
        onClicked: root.library.deleteAction()
    }
    BarButton {
        objectName: "libraryHotkey"
        symbol: "keyboard"
        text: root.texts["Set Hotkey"]
        Accessible.description: root.library.capturing
                                ? root.texts["Press the hotkey (Escape cancels, Backspace clears)..."] : ""
        foreground: root.library.capturing ? Theme.redNeon : "white"
        outlineColor: root.library.capturing ? Theme.alpha(Theme.redNeon, 0.8) : Theme.glassyBorder
        enabled: root.library.hasCurrent
        onClicked: root.library.hotkeyAction()
    }
    BarButton {
        objectName: "librarySchedule"
        symbol: "calendar"
        text: root.texts["Schedule"]
        enabled: root.library.hasCurrent && root.library.scheduleProblem.length === 0
        Accessible.description: root.library.scheduleProblem
        onClicked: root.library.scheduleAction()
    }
}
