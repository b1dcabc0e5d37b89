import QtQuick
import LoopWren.Ui

// The editor's first section: the event type's symbol and name.
Rectangle {
    id: root
    required property EventEditor editor
    required property ContentViewState viewState

    implicitHeight: 52
    radius: 8
    color: Qt.rgba(1, 1, 1, 0.02)
    border.width: 1
    border.color: Theme.glassyBorder

    Row {
        x: 10
        anchors.verticalCenter: parent.verticalCenter
        spacing: 10
        Rectangle {
            width: 32
            height: 32
            radius: 8
            color: Theme.alpha(Theme.purpleNeon, 0.12)
            border.width: 1
            border.color: Theme.alpha(Theme.purpleNeon, 0.2)
            SymbolIcon {
                anchors.centerIn: parent
                name: root.editor.typeSymbol
                size: 13
                color: Theme.purpleNeon
            }
        }
        Column {
            anchors.verticalCenter: parent.verticalCenter
            spacing: 1
            UiText {
                objectName: "typeName"
                text: root.editor.typeName
                size: 11
                font.weight: Font.Bold
            }
            UiText {
                text: root.viewState.texts["Event Type"]
                size: 9
                color: Theme.gray
            }
        }
    }
}
