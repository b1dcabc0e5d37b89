import QtQuick
import LoopWren.Ui

// A short label and a 50 wide field for a whole number.
Row {
    id: root
    property string label
    property alias fieldName: field.objectName
    property alias text: field.text
    signal committed(string text)

    spacing: 6
    UiText {
        anchors.verticalCenter: parent.verticalCenter
        text: root.label
        size: 10
        color: Theme.gray
    }
    EditorField {
        id: field
        width: 50
        implicitHeight: 22
        leftPadding: 6
        rightPadding: 6
        onCommitted: value => root.committed(value)
    }
}
