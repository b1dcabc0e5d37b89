import QtQuick
import LoopWren.Ui

// The buttons above the timeline.
Rectangle {
    id: root
    required property ContentViewState viewState
    required property LibraryState libraryState
    readonly property bool hasEvents: !viewState.isEmpty
    // The width the buttons wrap in; the bar itself may be wider.
    property real layoutWidth: width

    implicitHeight: row.implicitHeight + 28
    color: Qt.rgba(0, 0, 0, 0.15)

    Rectangle {
        anchors.bottom: parent.bottom
        width: parent.width
        height: 1
        color: Theme.glassyBorder
    }

    // Wraps onto a second row where the window is too narrow for all six, rather than running under
    // the editor; the labels are the window's own texts, so they are never cut.
    Flow {
        id: row
        x: 14
        y: 14
        width: Math.min(root.layoutWidth, root.width) - 28
        spacing: 14

        BarCell {
            MainButton {
                objectName: "recordButton"
                anchors.verticalCenter: parent.verticalCenter
                readonly property bool recording: root.viewState.isRecording
                mark: recording ? "square" : "circle"
                markColor: Theme.redNeon
                text: recording ? root.viewState.texts["STOP"] : root.viewState.texts["RECORD"]
                plateColor: recording ? Theme.redNeon : Qt.rgba(0, 0, 0, 0.3)
                glowColor: recording ? Theme.alpha(Theme.redNeon, 0.4) : "transparent"
                pulsing: root.viewState.isPulsing
                enabled: root.viewState.recordEnabled
                onClicked: root.viewState.recordAction()
                Component.onCompleted: root.viewState.isPulsing = true
            }
        }

        BarCell {
            MainButton {
                objectName: "playbackButton"
                anchors.verticalCenter: parent.verticalCenter
                readonly property bool playing: root.viewState.isPlaying
                mark: playing ? "square" : "symbol"
                symbol: "play.fill"
                text: playing ? root.viewState.texts["ABORT"] : root.viewState.texts["PLAYBACK"]
                plateColor: playing ? Theme.purpleNeon : root.hasEvents ? Theme.greenNeon : Qt.rgba(1, 1, 1, 0.04)
                labelColor: root.hasEvents ? "white" : Theme.gray
                glowColor: playing ? Theme.alpha(Theme.purpleNeon, 0.4)
                                   : root.hasEvents ? Theme.alpha(Theme.greenNeon, 0.3) : "transparent"
                enabled: root.viewState.playbackEnabled
                onClicked: root.viewState.playbackAction()
            }
        }

        BarCell {
            ClearButton {
                objectName: "clearButton"
                anchors.verticalCenter: parent.verticalCenter
                hasEvents: root.hasEvents
                enabled: root.viewState.clearEnabled
                onClicked: root.viewState.clearAction()
            }
        }

        BarCell {
            BarButton {
                objectName: "waitButton"
                anchors.verticalCenter: parent.verticalCenter
                symbol: "hourglass.badge.plus"
                text: root.viewState.texts["+ Wait"]
                radius: 8
                enabled: root.viewState.waitEnabled
                onClicked: root.viewState.waitAction()
            }
        }

        BarCell {
            BarButton {
                objectName: "importButton"
                anchors.verticalCenter: parent.verticalCenter
                symbol: "square.and.arrow.down"
                text: root.viewState.texts["Import"]
                radius: 6
                hoverScale: 1.02
                enabled: root.viewState.importEnabled
                onClicked: root.viewState.importAction()
            }
        }

        BarCell {
            RecentFilesButton {
                objectName: "recentFilesButton"
                anchors.verticalCenter: parent.verticalCenter
                viewState: root.viewState
                library: root.libraryState
                enabled: root.viewState.importEnabled
            }
        }

        BarCell {
            BarButton {
                objectName: "exportButton"
                anchors.verticalCenter: parent.verticalCenter
                symbol: "square.and.arrow.up"
                text: root.viewState.texts["Export"]
                radius: 6
                hoverScale: 1.02
                foreground: root.hasEvents ? Theme.purpleNeon : Theme.gray
                plateColor: root.hasEvents ? Theme.alpha(Theme.purpleNeon, 0.15) : Qt.rgba(1, 1, 1, 0.02)
                outlineColor: root.hasEvents ? Theme.alpha(Theme.purpleNeon, 0.3) : "transparent"
                enabled: root.viewState.exportEnabled
                onClicked: root.viewState.exportAction()
            }
        }

        BarCell {
            BarButton {
                objectName: "saveToLibraryButton"
                anchors.verticalCenter: parent.verticalCenter
                symbol: "plus.square.on.square"
                text: root.viewState.texts["Save to Library"]
                radius: 6
                hoverScale: 1.02
                enabled: root.viewState.exportEnabled
                onClicked: root.libraryState.saveTimelineAction()
            }
        }
    }
}
