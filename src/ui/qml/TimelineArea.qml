import QtQuick
import LoopWren.Ui

// The layered area below the control bar: a dim floor, the list or the empty card, and the recording
// indicator on top while recording.
Item {
    id: root
    required property ContentViewState viewState

    Rectangle {
        anchors.fill: parent
        color: Qt.rgba(0, 0, 0, 0.05)
    }

    EmptyTimelineCard {
        objectName: "emptyCard"
        anchors.centerIn: parent
        visible: root.viewState.isEmpty
        viewState: root.viewState
    }

    TimelineList {
        objectName: "timelineList"
        anchors.fill: parent
        visible: !root.viewState.isEmpty
        viewState: root.viewState
    }

    RecordingIndicator {
        objectName: "recordingIndicator"
        visible: root.viewState.isRecording
        viewState: root.viewState
        anchors.horizontalCenter: parent.horizontalCenter
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 16
    }
}
