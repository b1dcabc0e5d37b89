import QtQuick
import LoopWren.Ui

// Shown in place of the list while the timeline is empty.
Item {
    id: root
    required property ContentViewState viewState
    readonly property bool recording: viewState.isRecording

    implicitWidth: column.implicitWidth + 80
    implicitHeight: column.implicitHeight + 80

    Backdrop {
        anchors.fill: parent
        tone: "content"
        behindWindow: false
        opacity: 0.1
    }
    Rectangle {
        anchors.fill: parent
        radius: 16
        color: "transparent"
        border.width: 1
        border.color: Theme.glassyBorder
    }

    Column {
        id: column
        anchors.centerIn: parent
        spacing: 16

        Rectangle {
            anchors.horizontalCenter: parent.horizontalCenter
            width: 76
            height: 76
            radius: 38
            color: Theme.alpha(Theme.purpleNeon, 0.08)
            border.width: 1
            border.color: Theme.alpha(Theme.purpleNeon, 0.15)
            SymbolIcon {
                objectName: "emptySymbol"
                anchors.centerIn: parent
                name: root.recording ? "waveform" : "video.badge.plus"
                size: 32
                color: root.recording ? Theme.redNeon : Theme.purpleNeon
            }
        }

        Column {
            spacing: 6
            anchors.horizontalCenter: parent.horizontalCenter
            UiText {
                objectName: "emptyTitle"
                anchors.horizontalCenter: parent.horizontalCenter
                text: root.recording ? root.viewState.texts["Capturing Actions..."]
                                     : root.viewState.texts["No Actions Recorded"]
                size: 15
                font.weight: Font.Bold
            }
            UiText {
                objectName: "emptyHint"
                anchors.horizontalCenter: parent.horizontalCenter
                width: Math.min(implicitWidth, 320)
                text: root.viewState.hintText
                size: 11
                color: Theme.gray
                wrapMode: Text.WordWrap
                horizontalAlignment: Text.AlignHCenter
                lineHeight: 1.15
            }
        }
    }
}
