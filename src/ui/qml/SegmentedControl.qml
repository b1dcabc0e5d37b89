import QtQuick
import QtQuick.Templates as T

// Three or more exclusive choices side by side.
Rectangle {
    id: root
    property var labels: []
    property int current: 0
    signal chosen(int index)

    implicitHeight: 24
    radius: 6
    color: Qt.rgba(0, 0, 0, 0.2)
    border.width: 1
    border.color: Theme.glassyBorder

    Row {
        anchors.fill: parent
        anchors.margins: 2
        Repeater {
            model: root.labels
            delegate: T.AbstractButton {
                id: segment
                FocusRing { shown: segment.visualFocus; radius: 7 }
                required property int index
                required property string modelData
                objectName: "segment" + index
                width: (root.width - 4) / root.labels.length
                height: root.height - 4
                checked: root.current === index
                onClicked: root.chosen(index)
                background: Rectangle {
                    radius: 4
                    color: segment.checked ? Theme.alpha(Theme.purpleNeon, 0.35) : "transparent"
                }
                contentItem: UiText {
                    text: segment.modelData
                    size: 10
                    font.weight: segment.checked ? Font.Bold : Font.Medium
                    color: segment.checked ? "white" : Theme.gray
                    horizontalAlignment: Text.AlignHCenter
                    verticalAlignment: Text.AlignVCenter
                    elide: Text.ElideRight
                }
            }
        }
    }
}
