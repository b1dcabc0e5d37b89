import QtQuick
import QtQuick.Templates as T
import LoopWren.Ui

// The accessibility status at the foot of the sidebar, with the way to grant it.
Rectangle {
    id: root
    required property ContentViewState viewState
    readonly property bool granted: viewState.isAccessibilityGranted
    readonly property color accent: granted ? Theme.greenNeon : Theme.redNeon

    implicitHeight: column.implicitHeight + 20
    radius: 10
    color: Qt.rgba(0, 0, 0, 0.2)
    border.width: 1
    border.color: Theme.alpha(accent, 0.15)

    Column {
        id: column
        x: 10
        y: 10
        width: parent.width - 20
        spacing: 8

        Row {
            spacing: 6
            Item {
                width: 8
                height: 8
                anchors.verticalCenter: parent.verticalCenter
                NeonGlow { target: dot; radius: 4; targetRadius: 4; color: Theme.alpha(root.accent, 0.5) }
                Rectangle { id: dot; anchors.fill: parent; radius: 4; color: root.accent }
            }
            UiText {
                objectName: "accessibilityStatus"
                text: root.granted ? root.viewState.texts["API Access Active"] : root.viewState.texts["No API Access"]
                size: 10
                font.weight: Font.Bold
            }
        }

        T.AbstractButton {
            id: grant
            FocusRing { shown: grant.visualFocus; radius: 9 }
            objectName: "grantAccessButton"
            visible: !root.granted
            width: parent.width
            implicitHeight: 24
            topPadding: 5
            bottomPadding: 5
            leftPadding: 8
            rightPadding: 8
            text: root.viewState.texts["Grant Access"]
            onClicked: root.viewState.grantAccessAction()
            background: Item {
                NeonGlow { target: fill; radius: 4; targetRadius: 6; color: Theme.alpha(Theme.redNeon, 0.3) }
                Rectangle { id: fill; anchors.fill: parent; radius: 6; color: Theme.redNeon }
            }
            contentItem: UiText {
                text: grant.text
                size: 10
                font.weight: Font.Bold
                horizontalAlignment: Text.AlignHCenter
                verticalAlignment: Text.AlignVCenter
            }
        }
    }
}
