import QtQuick
import LoopWren.Ui

// The settings page's place: its header, on the page's own floor. The controls come with the page.
Flickable {
    id: root
    required property ContentViewState viewState

    contentHeight: header.implicitHeight + 40
    boundsBehavior: Flickable.StopAtBounds
    clip: true

    Rectangle {
        parent: root
        anchors.fill: parent
        z: -1
        color: Qt.rgba(0, 0, 0, 0.03)
    }

    Column {
        id: header
        x: 20
        y: 20
        spacing: 4
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
}
