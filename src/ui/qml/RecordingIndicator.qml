import QtQuick
import LoopWren.Ui

// The floating pill at the foot of the timeline while a recording runs.
Item {
    id: root
    required property ContentViewState viewState

    implicitWidth: row.implicitWidth + 28
    implicitHeight: row.implicitHeight + 16

    NeonGlow { target: pill; radius: 8; targetRadius: 20; color: Theme.alpha(Theme.redNeon, 0.15) }
    Rectangle {
        id: pill
        anchors.fill: parent
        radius: 20
        color: Qt.rgba(0, 0, 0, 0.8)
        border.width: 1
        border.color: Theme.alpha(Theme.redNeon, 0.3)
    }

    Row {
        id: row
        anchors.centerIn: parent
        spacing: 12
        Rectangle {
            id: dot
            anchors.verticalCenter: parent.verticalCenter
            width: 8
            height: 8
            radius: 4
            color: Theme.redNeon
            SequentialAnimation on scale {
                running: root.viewState.isPulsing && root.visible
                loops: Animation.Infinite
                NumberAnimation { from: 0.8; to: 1.3; duration: 700; easing.type: Easing.InOutQuad }
                NumberAnimation { from: 1.3; to: 0.8; duration: 700; easing.type: Easing.InOutQuad }
            }
        }
        UiText {
            objectName: "recordingLabel"
            anchors.verticalCenter: parent.verticalCenter
            text: root.viewState.texts["Floating Recording Overlay Label"]
            size: 9
            font.weight: Font.Bold
            font.letterSpacing: 1.5
        }
        UiText {
            objectName: "recordingCount"
            anchors.verticalCenter: parent.verticalCenter
            text: root.viewState.recordingCountText
            size: 10
            color: Theme.gray
        }
    }
}
