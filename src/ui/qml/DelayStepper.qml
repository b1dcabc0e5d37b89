import QtQuick
import QtQuick.Templates as T

// Up and down arrows that step a value; holding one repeats.
Column {
    id: root
    signal stepped(int direction)

    spacing: 1
    Repeater {
        model: [1, -1]
        delegate: T.AbstractButton {
            id: arrow
            FocusRing { shown: arrow.visualFocus; radius: 6 }
            required property int modelData
            objectName: modelData > 0 ? "stepUp" : "stepDown"
            width: 20
            height: 12
            autoRepeat: true
            onClicked: root.stepped(arrow.modelData)
            background: Rectangle {
                radius: 3
                color: arrow.pressed ? Qt.rgba(1, 1, 1, 0.15) : Qt.rgba(1, 1, 1, 0.06)
                border.width: 1
                border.color: Theme.glassyBorder
            }
            contentItem: SymbolIcon {
                name: arrow.modelData > 0 ? "chevron.up" : "chevron.down"
                size: 9
                color: "white"
            }
        }
    }
}
