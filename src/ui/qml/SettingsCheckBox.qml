import QtQuick
import QtQuick.Templates as T
import LoopWren.Ui

// A check box whose label runs across the whole row, so anywhere on the row toggles it.
T.CheckBox {
    id: root
    FocusRing { shown: root.visualFocus; radius: 7 }

    width: parent ? parent.width : implicitWidth
    implicitWidth: indicator.width + spacing + contentItem.implicitWidth
    implicitHeight: 20
    padding: 0
    spacing: 8
    opacity: enabled ? 1.0 : 0.45

    HoverHandler { id: hover }

    indicator: Rectangle {
        x: root.leftPadding
        y: (root.height - height) / 2
        width: 14
        height: 14
        radius: 4
        color: root.checked ? Theme.purpleNeon : Qt.rgba(0, 0, 0, hover.hovered ? 0.45 : 0.3)
        border.width: 1
        border.color: root.checked ? Theme.purpleNeon : Qt.rgba(1, 1, 1, hover.hovered ? 0.35 : 0.22)
        SymbolIcon {
            anchors.centerIn: parent
            visible: root.checked
            name: "checkmark"
            size: 9
            color: "white"
        }
    }

    contentItem: UiText {
        objectName: "label"
        leftPadding: root.indicator.width + root.spacing
        text: root.text
        size: 11
        font.weight: Font.Medium
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
    }
}
