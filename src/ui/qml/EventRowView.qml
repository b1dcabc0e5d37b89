import QtQuick

// One timeline row. Its texts and state come from the model; this only chooses the look of the state:
// current (green), selected (purple) or plain.
Item {
    id: root

    required property int index
    required property int number
    required property string symbol
    required property string tone
    required property string title
    required property string detail
    required property string delayText
    required property int rowState

    readonly property bool isCurrent: rowState === 0
    readonly property bool isSelected: rowState === 1
    // Copies of the palette, so each row uses exactly the window's accents.
    readonly property color purpleNeon: Theme.purpleNeon
    readonly property color greenNeon: Theme.greenNeon
    readonly property color neonBlue: Theme.neonBlue
    readonly property color accent: isCurrent ? greenNeon : purpleNeon
    readonly property bool lit: isCurrent || isSelected

    // The list's row insets: 4 above and below, 14 at the sides.
    implicitHeight: 50

    signal tapped(int index)
    signal dragMoved(int index, real y)
    signal dragEnded(int index, real y)

    TapHandler { onTapped: root.tapped(root.index) }
    DragHandler {
        id: drag
        target: null
        xAxis.enabled: false
        onCentroidChanged: if (active) root.dragMoved(root.index, root.mapToItem(null, 0, centroid.position.y).y)
        onActiveChanged: if (!active) root.dragEnded(root.index, root.mapToItem(null, 0, centroid.position.y).y)
    }

    Item {
        id: body
        anchors.fill: parent
        anchors.leftMargin: 14
        anchors.rightMargin: 14
        anchors.topMargin: 4
        anchors.bottomMargin: 4
        opacity: drag.active ? 0.6 : 1.0

        NeonGlow {
            target: plate
            radius: 4
            targetRadius: 8
            visible: root.lit
            color: Theme.alpha(root.accent, root.isCurrent ? 0.1 : 0.05)
        }
        Rectangle {
            id: plate
            anchors.fill: parent
            radius: 8
            color: root.lit ? Theme.alpha(root.accent, 0.04) : Qt.rgba(1, 1, 1, 0.015)
            border.width: 1
            border.color: root.lit ? Theme.alpha(root.accent, 0.4) : Qt.rgba(1, 1, 1, 0.05)
        }

        Row {
            x: 10
            anchors.verticalCenter: parent.verticalCenter
            spacing: 12

            UiText {
                objectName: "number"
                width: 24
                anchors.verticalCenter: parent.verticalCenter
                horizontalAlignment: Text.AlignRight
                text: root.number
                size: 10
                font.weight: Font.Bold
                color: root.lit ? root.accent : Theme.alpha(Theme.gray, 0.6)
            }

            Rectangle {
                width: 30
                height: 30
                radius: 8
                anchors.verticalCenter: parent.verticalCenter
                color: root.isCurrent ? Theme.alpha(root.greenNeon, 0.15)
                     : root.isSelected ? Theme.alpha(root.purpleNeon, 0.12) : Qt.rgba(1, 1, 1, 0.03)
                border.width: root.lit ? 1 : 0
                border.color: Theme.alpha(root.accent, root.isCurrent ? 0.3 : 0.25)
                SymbolIcon {
                    anchors.centerIn: parent
                    name: root.symbol
                    size: 12
                    color: root.lit ? root.accent : Theme.tone(root.tone)
                }
            }

            Column {
                anchors.verticalCenter: parent.verticalCenter
                spacing: 2
                width: body.width - 10 - 24 - 12 - 30 - 12 - badge.width - 12 - 10
                UiText {
                    objectName: "title"
                    width: parent.width
                    elide: Text.ElideRight
                    text: root.title
                    size: 11.5
                    font.weight: root.lit ? Font.Bold : Font.DemiBold
                    color: root.isCurrent ? root.greenNeon : "white"
                }
                UiText {
                    objectName: "detail"
                    width: parent.width
                    elide: Text.ElideRight
                    text: root.detail
                    size: 9.5
                    color: Theme.alpha(Theme.gray, 0.8)
                }
            }
        }

        DelayBadge {
            id: badge
            anchors.right: parent.right
            anchors.rightMargin: 10
            anchors.verticalCenter: parent.verticalCenter
            text: root.delayText
            foreground: root.lit ? root.accent : Theme.gray
            outline: root.lit ? Theme.alpha(root.accent, 0.15) : "transparent"
        }
    }
}
