import QtQuick
import LoopWren.Ui

// One global hotkey: what it does on the left, its capture button on the right.
Item {
    id: root
    property string title
    property string subtitle
    // The keys the desktop put on this hotkey, where they are not the captured ones; empty otherwise.
    property string desktopTrigger
    property alias desktopTriggerName: desktopTriggerText.objectName
    property alias buttonName: button.objectName
    property alias buttonText: button.text
    property alias capturing: button.capturing
    signal captureRequested()

    width: parent ? parent.width : 0
    implicitHeight: Math.max(texts.implicitHeight, button.implicitHeight)

    Column {
        id: texts
        anchors.verticalCenter: parent.verticalCenter
        width: parent.width - button.width - 12
        spacing: 2
        UiText {
            width: parent.width
            text: root.title
            size: 11
            font.weight: Font.Bold
            elide: Text.ElideRight
        }
        UiText {
            width: parent.width
            text: root.subtitle
            size: 10
            color: Theme.gray
            wrapMode: Text.WordWrap
        }
        UiText {
            id: desktopTriggerText
            width: parent.width
            visible: text !== ""
            text: root.desktopTrigger
            size: 10
            color: Theme.orange
            wrapMode: Text.WordWrap
        }
    }

    CaptureButton {
        id: button
        anchors.right: parent.right
        anchors.verticalCenter: parent.verticalCenter
        onClicked: root.captureRequested()
    }
}
