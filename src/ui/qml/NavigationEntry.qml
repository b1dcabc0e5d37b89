import QtQuick
import QtQuick.Templates as T

// One page entry of the sidebar.
T.AbstractButton {
    id: root
    FocusRing { shown: root.visualFocus; radius: 11 }
    property string symbol
    property bool active: false

    implicitWidth: 138
    implicitHeight: 30
    leftPadding: 10
    rightPadding: 10
    topPadding: 7
    bottomPadding: 7
    opacity: enabled ? 1.0 : 0.45

    background: Rectangle {
        radius: 8
        color: root.active ? Qt.rgba(1, 1, 1, 0.06) : "transparent"
    }
    contentItem: Item {
        implicitHeight: 16
        SymbolIcon {
            id: icon
            width: 16
            anchors.verticalCenter: parent.verticalCenter
            name: root.symbol
            size: 11
            color: root.active ? Theme.purpleNeon : Theme.gray
        }
        UiText {
            objectName: "label"
            anchors.left: icon.right
            anchors.leftMargin: 8
            anchors.verticalCenter: parent.verticalCenter
            text: root.text
            size: 11
            font.weight: root.active ? Font.Bold : Font.Medium
            color: root.active ? "white" : Theme.gray
        }
        Rectangle {
            anchors.right: parent.right
            anchors.verticalCenter: parent.verticalCenter
            width: 4
            height: 4
            radius: 2
            visible: root.active
            color: Theme.purpleNeon
        }
    }
}
