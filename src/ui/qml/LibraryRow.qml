import QtQuick
import QtQuick.Templates as T
import LoopWren.Ui

// One macro of the library, or the heading over them: the name, then the fixed-width columns.
T.AbstractButton {
    id: root
    property var cells: []
    property var columns: []
    property bool heading: false
    property bool current: false
    property bool playing: false
    property bool focusShown: false
    property string problem

    focusPolicy: Qt.NoFocus
    implicitHeight: heading ? 18 : (problem.length > 0 ? 48 : 34)
    Accessible.name: cells.join(", ") + (problem.length > 0 ? ", " + problem : "")
    Accessible.selected: current
    FocusRing { shown: root.focusShown; radius: 10 }

    background: Rectangle {
        visible: !root.heading
        radius: 8
        color: root.playing ? Theme.alpha(Theme.greenNeon, 0.06)
             : root.current ? Theme.alpha(Theme.purpleNeon, 0.08) : Qt.rgba(1, 1, 1, 0.015)
        border.width: 1
        border.color: root.playing ? Theme.alpha(Theme.greenNeon, 0.4)
                    : root.current ? Theme.alpha(Theme.purpleNeon, 0.4) : Qt.rgba(1, 1, 1, 0.05)
    }

    contentItem: Item {
        Row {
            id: cellsRow
            x: root.heading ? 10 : 10
            width: parent.width - 20
            height: root.heading ? parent.height : 34
            spacing: 8
            Repeater {
                model: root.cells
                delegate: UiText {
                    required property int index
                    required property string modelData
                    anchors.verticalCenter: parent.verticalCenter
                    width: index === 0 ? Math.max(80, cellsRow.width - root.columns.reduce((a, b) => a + b, 0)
                                                       - 8 * root.columns.length)
                                       : root.columns[index - 1]
                    text: modelData
                    size: root.heading ? 8 : (index === 0 ? 11.5 : 10)
                    font.weight: root.heading || index === 0 ? Font.Bold : Font.Normal
                    font.letterSpacing: root.heading ? 1 : 0
                    color: root.heading ? Theme.gray
                         : index === 0 ? (root.playing ? Theme.greenNeon : "white") : Qt.rgba(1, 1, 1, 0.7)
                    elide: Text.ElideRight
                }
            }
        }
        UiText {
            objectName: "problem"
            visible: root.problem.length > 0
            x: 10
            y: 30
            width: parent.width - 20
            text: root.problem
            size: 9.5
            color: Theme.redNeon
            elide: Text.ElideRight
        }
    }
}
