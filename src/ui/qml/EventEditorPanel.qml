import QtQuick
import QtQuick.Templates as T
import QtQuick.Layouts
import LoopWren.Ui

// The panel at the right edge that edits the selected event. Sections appear by the fields the event
// carries; every change is handed to the editor, which writes it back at once.
Rectangle {
    id: root
    required property ContentViewState viewState
    readonly property EventEditor editor: viewState.editor
    readonly property var texts: viewState.texts

    width: 220
    color: Qt.rgba(0, 0, 0, 0.15)

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 14
        spacing: 16

        RowLayout {
            Layout.fillWidth: true
            Layout.bottomMargin: 4
            UiText {
                text: root.texts["Edit Action"]
                size: 13
                font.weight: Font.Black
                font.letterSpacing: 0.5
            }
            Item { Layout.fillWidth: true }
            T.AbstractButton {
                id: closeButton
                objectName: "closeEditor"
                FocusRing { shown: closeButton.visualFocus; radius: 10 }
                implicitWidth: contentItem.implicitWidth
                implicitHeight: contentItem.implicitHeight
                onClicked: root.editor.close()
                contentItem: SymbolIcon {
                    name: "xmark.circle.fill"
                    size: 14
                    color: Qt.rgba(1, 1, 1, closeButton.hovered ? 0.55 : 0.3)
                }
            }
        }

        Divider { Layout.fillWidth: true }

        Flickable {
            id: scroll
            Layout.fillWidth: true
            Layout.fillHeight: true
            contentHeight: sections.implicitHeight
            boundsBehavior: Flickable.StopAtBounds
            clip: true
            T.ScrollBar.vertical: ThinScrollBar { }
            readonly property FocusReveal focusReveal: FocusReveal { flickable: scroll }

            Column {
                id: sections
                width: scroll.width
                spacing: 16

                TypeCard {
                    width: parent.width
                    editor: root.editor
                    viewState: root.viewState
                }

                Column {
                    objectName: "delaySection"
                    width: parent.width
                    spacing: 6
                    SectionCaption { text: root.texts["DELAY (SECONDS)"] }
                    Row {
                        spacing: 6
                        EditorField {
                            objectName: "delayField"
                            width: parent.parent.width - 26
                            text: root.editor.delayText
                            onCommitted: value => root.editor.commitDelayText(value)
                            onTyped: value => root.editor.noteTypedText(EventEditor.DelayField, value)
                        }
                        DelayStepper {
                            anchors.verticalCenter: parent.verticalCenter
                            onStepped: direction => root.editor.stepDelay(direction)
                        }
                    }
                }

                Column {
                    objectName: "locationSection"
                    visible: root.editor.hasLocation
                    width: parent.width
                    spacing: 6
                    SectionCaption { text: root.texts["CURSOR LOCATION"] }
                    Row {
                        width: parent.width
                        spacing: 8
                        Column {
                            width: (parent.width - 8) / 2
                            spacing: 4
                            UiText { text: root.texts["X Coordinate"]; size: 8; color: Theme.gray }
                            EditorField {
                                objectName: "xField"
                                width: parent.width
                                text: root.editor.xText
                                onCommitted: value => root.editor.commitXText(value)
                                onTyped: value => root.editor.noteTypedText(EventEditor.XField, value)
                            }
                        }
                        Column {
                            width: (parent.width - 8) / 2
                            spacing: 4
                            UiText { text: root.texts["Y Coordinate"]; size: 8; color: Theme.gray }
                            EditorField {
                                objectName: "yField"
                                width: parent.width
                                text: root.editor.yText
                                onCommitted: value => root.editor.commitYText(value)
                                onTyped: value => root.editor.noteTypedText(EventEditor.YField, value)
                            }
                        }
                    }
                }

                Column {
                    objectName: "mouseButtonSection"
                    visible: root.editor.hasMouseButton
                    width: parent.width
                    spacing: 6
                    SectionCaption { text: root.texts["MOUSE BUTTON"] }
                    SegmentedControl {
                        objectName: "mouseButtonControl"
                        width: parent.width
                        labels: [root.texts["Left"], root.texts["Right"], root.texts["Middle"]]
                        current: root.editor.editMouseButton
                        onChosen: index => root.editor.editMouseButton = index
                    }
                }

                Column {
                    objectName: "keyboardSection"
                    visible: root.editor.hasKeyCode
                    width: parent.width
                    spacing: 6
                    SectionCaption { text: root.texts["KEYBOARD SETTINGS"] }
                    UiText { text: root.texts["Virtual Key Code"]; size: 8; color: Theme.gray }
                    Row {
                        spacing: 6
                        EditorField {
                            objectName: "keyCodeField"
                            width: 70
                            text: root.editor.keyCodeText
                            onCommitted: value => root.editor.commitKeyCodeText(value)
                            onTyped: value => root.editor.noteTypedText(EventEditor.KeyCodeField, value)
                        }
                        Rectangle {
                            anchors.verticalCenter: parent.verticalCenter
                            width: keyName.implicitWidth + 16
                            height: keyName.implicitHeight + 8
                            radius: 4
                            color: Theme.alpha(Theme.purpleNeon, 0.08)
                            UiText {
                                id: keyName
                                objectName: "keyName"
                                anchors.centerIn: parent
                                text: root.editor.keyNameText
                                size: 11
                                font.weight: Font.Bold
                                color: Theme.purpleNeon
                            }
                        }
                    }
                }
            }
        }

        Divider { Layout.fillWidth: true }

        ColumnLayout {
            Layout.fillWidth: true
            spacing: 8
            RowLayout {
                spacing: 8
                FooterButton {
                    objectName: "copyButton"
                    Layout.fillWidth: true
                    Layout.preferredWidth: 1
                    symbol: "plus.square.on.square"
                    text: root.texts["Copy"]
                    onClicked: root.editor.copy()
                }
                FooterButton {
                    objectName: "deleteButton"
                    Layout.fillWidth: true
                    Layout.preferredWidth: 1
                    symbol: "trash"
                    text: root.texts["Delete"]
                    foreground: Theme.redNeon
                    plateColor: Theme.alpha(Theme.redNeon, 0.12)
                    outlineColor: Theme.alpha(Theme.redNeon, 0.2)
                    onClicked: root.editor.remove()
                }
            }
            RowLayout {
                spacing: 8
                FooterButton {
                    objectName: "upButton"
                    Layout.fillWidth: true
                    Layout.preferredWidth: 1
                    symbol: "chevron.up"
                    plateColor: Qt.rgba(1, 1, 1, 0.03)
                    enabled: root.editor.canMoveUp
                    onClicked: root.editor.moveUp()
                }
                FooterButton {
                    objectName: "downButton"
                    Layout.fillWidth: true
                    Layout.preferredWidth: 1
                    symbol: "chevron.down"
                    plateColor: Qt.rgba(1, 1, 1, 0.03)
                    enabled: root.editor.canMoveDown
                    onClicked: root.editor.moveDown()
                }
            }
        }
    }
}
