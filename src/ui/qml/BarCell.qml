import QtQuick

// One place in the control bar's wrapping rows: as wide as its button and as high as the row, with
// the button centred in it, so buttons of different heights line up along each row.
Item {
    default property alias content: holder.data
    property real lineHeight: 32

    width: holder.childrenRect.width
    height: lineHeight

    Item {
        id: holder
        anchors.fill: parent
    }
}
