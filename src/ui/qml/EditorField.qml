import QtQuick
import QtQuick.Templates as T

// A plain editor field. It shows the value's text and hands typed text over when editing finishes.
T.TextField {
    id: root
    FocusRing { shown: root.activeFocus; radius: 9 }
    signal committed(string text)
    // Each keystroke's text, before it is handed over.
    signal typed(string text)

    implicitHeight: 26
    implicitWidth: 60
    verticalAlignment: TextInput.AlignVCenter
    topPadding: 5
    bottomPadding: 5
    leftPadding: 8
    rightPadding: 8
    color: "white"
    selectionColor: Theme.alpha(Theme.purpleNeon, 0.5)
    selectedTextColor: "white"
    font.family: Theme.fontFamily
    font.pixelSize: 11
    selectByMouse: true
    background: Rectangle {
        radius: 6
        color: Qt.rgba(0, 0, 0, 0.2)
        border.width: 1
        border.color: root.activeFocus ? Theme.alpha(Theme.purpleNeon, 0.5) : Theme.glassyBorder
    }
    onEditingFinished: committed(text)
    onTextEdited: typed(text)
}
