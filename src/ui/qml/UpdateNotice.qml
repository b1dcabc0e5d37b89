import QtQuick
import QtQuick.Templates as T
import LoopWren.Ui

// Covers the window while a newer release is available: the page beneath shows only blurred.
Item {
    id: root
    required property ContentViewState viewState
    property Item page: null

    // Takes every pointer event, so the page beneath cannot be used while the notice is up.
    MouseArea { anchors.fill: parent; hoverEnabled: true; acceptedButtons: Qt.AllButtons }

    Backdrop {
        anchors.fill: parent
        tone: "notice"
        behindWindow: false
        blurSource: root.page
    }

    Item {
        id: card
        anchors.centerIn: parent
        width: Math.min(340, parent.width - 80)
        height: Math.min(column.implicitHeight + 48, parent.height - 80)

        NeonGlow { target: cardPlate; radius: 20; targetRadius: 16; color: Qt.rgba(0, 0, 0, 0.3) }
        Backdrop {
            anchors.fill: parent
            tone: "content"
            behindWindow: false
            opacity: 0.1
        }
        Rectangle {
            id: cardPlate
            anchors.fill: parent
            radius: 16
            color: Qt.rgba(0.08, 0.075, 0.11, 0.55)
            border.width: 1
            border.color: Theme.glassyBorder
        }

        Column {
            id: column
            x: 24
            y: 24
            width: parent.width - 48
            spacing: 20

            Rectangle {
                anchors.horizontalCenter: parent.horizontalCenter
                width: 64
                height: 64
                radius: 32
                color: Theme.alpha(Theme.purpleNeon, 0.12)
                border.width: 1
                border.color: Theme.alpha(Theme.purpleNeon, 0.25)
                SymbolIcon {
                    anchors.centerIn: parent
                    name: "arrow.down.circle.fill"
                    size: 24
                    color: Theme.purpleNeon
                }
            }
            UiText {
                objectName: "updateTitle"
                anchors.horizontalCenter: parent.horizontalCenter
                text: root.viewState.texts["Update Available"]
                size: 18
                font.weight: Font.Bold
            }
            UiText {
                width: parent.width
                text: root.viewState.texts["Update Available Description"]
                size: 11
                color: Theme.gray
                wrapMode: Text.WordWrap
                horizontalAlignment: Text.AlignHCenter
            }
            Column {
                objectName: "updateNotes"
                visible: root.viewState.updateNotes.length > 0
                width: parent.width
                spacing: 6
                UiText {
                    text: root.viewState.texts["RELEASE NOTES:"]
                    size: 9
                    font.weight: Font.Bold
                    font.letterSpacing: 1
                    color: Theme.gray
                }
                Rectangle {
                    width: parent.width
                    height: Math.min(notes.implicitHeight + 16, 100)
                    radius: 8
                    color: Qt.rgba(0, 0, 0, 0.2)
                    border.width: 1
                    border.color: Theme.glassyBorder
                    Flickable {
                        anchors.fill: parent
                        anchors.margins: 8
                        clip: true
                        contentHeight: notes.implicitHeight
                        boundsBehavior: Flickable.StopAtBounds
                        T.ScrollBar.vertical: ThinScrollBar { }
                        UiText {
                            id: notes
                            width: parent.width
                            text: root.viewState.updateNotes
                            size: 11
                            color: Qt.rgba(1, 1, 1, 0.85)
                            wrapMode: Text.WordWrap
                        }
                    }
                }
            }
            T.AbstractButton {
                id: updateNow
                FocusRing { shown: updateNow.visualFocus; radius: 11 }
                objectName: "updateNowButton"
                width: parent.width
                implicitHeight: 32
                text: root.viewState.texts["Update Now"]
                onClicked: root.viewState.updateNowAction()
                background: Item {
                    NeonGlow { target: nowPlate; radius: 6; targetRadius: 8; color: Theme.alpha(Theme.purpleNeon, 0.3) }
                    Rectangle { id: nowPlate; anchors.fill: parent; radius: 8; color: Theme.purpleNeon }
                }
                contentItem: Item {
                    Row {
                        anchors.centerIn: parent
                        spacing: 6
                        SymbolIcon { name: "arrow.down.circle"; size: 11; color: "white"; anchors.verticalCenter: parent.verticalCenter }
                        UiText { text: updateNow.text; size: 11; font.weight: Font.Bold; anchors.verticalCenter: parent.verticalCenter }
                    }
                }
            }
            T.AbstractButton {
                id: later
                FocusRing { shown: later.visualFocus; radius: 11 }
                objectName: "laterButton"
                width: parent.width
                implicitHeight: 30
                text: root.viewState.texts["Later"]
                onClicked: root.viewState.laterAction()
                background: Rectangle {
                    radius: 8
                    color: Qt.rgba(1, 1, 1, 0.06)
                    border.width: 1
                    border.color: Theme.glassyBorder
                }
                contentItem: UiText {
                    text: later.text
                    size: 11
                    font.weight: Font.Bold
                    horizontalAlignment: Text.AlignHCenter
                    verticalAlignment: Text.AlignVCenter
                }
            }
        }
    }
}
