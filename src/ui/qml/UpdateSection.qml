import QtQuick
import LoopWren.Ui

// The running version and the button that asks the update server again.
SettingsSection {
    id: root
    required property SettingsState settings

    objectName: "updateSection"
    symbol: "arrow.down.circle"
    title: settings.updateHeading

    Item {
        width: parent.width
        implicitHeight: Math.max(texts.implicitHeight, button.implicitHeight)
        Column {
            id: texts
            anchors.verticalCenter: parent.verticalCenter
            width: parent.width - button.width - 12
            spacing: 3
            UiText {
                objectName: "versionLine"
                text: root.settings.versionLine
                size: 11
                font.weight: Font.Bold
            }
            UiText {
                width: parent.width
                text: root.settings.updateExplanation
                size: 10
                color: Theme.gray
                wrapMode: Text.WordWrap
            }
        }
        BarButton {
            id: button
            objectName: "checkUpdateButton"
            anchors.right: parent.right
            anchors.verticalCenter: parent.verticalCenter
            symbol: "arrow.clockwise"
            text: root.settings.checkUpdateText
            textSize: 10
            plateColor: Qt.rgba(1, 1, 1, 0.06)
            radius: 6
            topPadding: 6
            bottomPadding: 6
            onClicked: root.settings.checkForUpdates()
        }
    }
}
