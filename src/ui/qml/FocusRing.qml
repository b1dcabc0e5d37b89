import QtQuick

// Where the keyboard focus is: a ring just outside the control that holds it. Buttons show it only
// when the focus came from the keyboard (Tab), so a click leaves none behind; a text field whenever it
// takes typing.
Rectangle {
    objectName: "focusRing"
    property bool shown: false

    anchors.fill: parent
    anchors.margins: -3
    radius: 9
    color: "transparent"
    border.width: 2
    border.color: Theme.neonBlue
    visible: shown
    z: 10
}
