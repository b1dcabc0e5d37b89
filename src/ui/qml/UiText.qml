import QtQuick

// Interface text in the window's font; the size and weight come from the user.
Text {
    property real size: 11
    font.family: Theme.fontFamily
    font.pixelSize: size
    color: "white"
    renderType: Text.QtRendering
}
