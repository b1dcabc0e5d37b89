import QtQuick
import LoopWren.Ui

// One symbol by its name, drawn from the icon font.
Text {
    property string name
    property real size: 12

    text: Symbols.glyph(name)
    font.family: Symbols.fontFamily
    font.pixelSize: Math.round(size * 1.25)
    horizontalAlignment: Text.AlignHCenter
    verticalAlignment: Text.AlignVCenter
    renderType: Text.QtRendering
}
