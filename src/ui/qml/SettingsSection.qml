import QtQuick
import LoopWren.Ui

// One card of the settings page: its heading, an optional description, the body box holding the rows,
// and whatever follows the box.
Rectangle {
    id: root
    property string symbol
    property string title
    property string description
    // The rows inside the body box, top to bottom; an invisible row takes no space.
    default property alias rows: body.data
    // Items below the body box.
    property alias below: belowBody.data

    implicitHeight: column.implicitHeight + 32
    radius: 12
    color: Qt.rgba(0, 0, 0, 0.1)
    border.width: 1
    border.color: Theme.glassyBorder

    Column {
        id: column
        x: 16
        y: 16
        width: parent.width - 32
        spacing: 14

        Row {
            spacing: 6
            SymbolIcon {
                anchors.verticalCenter: parent.verticalCenter
                name: root.symbol
                size: 14
                color: Theme.purpleNeon
            }
            UiText {
                objectName: "sectionTitle"
                anchors.verticalCenter: parent.verticalCenter
                text: root.title
                size: 10
                font.weight: Font.Bold
                font.letterSpacing: 1
                color: Theme.gray
            }
        }

        UiText {
            objectName: "sectionDescription"
            visible: root.description.length > 0
            width: parent.width
            text: root.description
            size: 10
            color: Theme.gray
            wrapMode: Text.WordWrap
        }

        Rectangle {
            width: parent.width
            height: body.implicitHeight + 24
            radius: 8
            color: Qt.rgba(1, 1, 1, 0.02)
            border.width: 1
            border.color: Theme.glassyBorder

            Column {
                id: body
                x: 12
                y: 12
                width: parent.width - 24
                spacing: 10
            }
        }

        Column {
            id: belowBody
            visible: children.length > 0
            width: parent.width
        }
    }
}
