import QtQuick
import QtQuick.Templates as T
import LoopWren.Ui

// Beside Import: the files imported or exported last, the newest first; choosing one imports it.
BarButton {
    id: root
    required property ContentViewState viewState
    required property LibraryState library

    symbol: "clock.arrow.circlepath"
    text: ""
    radius: 6
    leftPadding: 8
    rightPadding: 8
    Accessible.name: viewState.texts["Recent Files"]
    onClicked: menu.open()

    T.Popup {
        id: menu
        objectName: "recentFilesMenu"
        y: root.height + 4
        width: 320
        padding: 4
        focus: true
        implicitHeight: entries.implicitHeight + 8
        background: Rectangle {
            radius: 8
            color: "#25222f"
            border.width: 1
            border.color: Qt.rgba(1, 1, 1, 0.12)
        }
        contentItem: Column {
            id: entries
            UiText {
                visible: root.library.recentFiles.length === 0
                padding: 6
                text: root.viewState.texts["No recent files"]
                size: 11
                color: Theme.gray
            }
            Repeater {
                model: root.library.recentFiles
                delegate: T.ItemDelegate {
                    id: entry
                    required property int index
                    required property string modelData
                    objectName: "recentFile" + index
                    width: entries.width
                    implicitHeight: 26
                    leftPadding: 8
                    rightPadding: 8
                    text: modelData
                    focus: index === 0
                    Accessible.name: modelData
                    KeyNavigation.down: entries.children[index + 2] || null
                    KeyNavigation.up: index > 0 ? entries.children[index] : null
                    onClicked: {
                        menu.close()
                        root.library.openRecentAction(index)
                    }
                    background: Rectangle {
                        radius: 4
                        color: entry.hovered || entry.activeFocus ? Theme.alpha(Theme.purpleNeon, 0.45) : "transparent"
                    }
                    contentItem: UiText {
                        text: entry.text
                        size: 11
                        elide: Text.ElideMiddle
                        verticalAlignment: Text.AlignVCenter
                    }
                }
            }
        }
    }
}
