import QtQuick
import QtQuick.Templates as T
import LoopWren.Ui

// The Library page: its header, the filter, the actions on the chosen macro and the list of macros.
Item {
    id: root
    required property ContentViewState viewState
    required property LibraryState library
    readonly property var texts: viewState.texts

    Rectangle {
        anchors.fill: parent
        color: Qt.rgba(0, 0, 0, 0.03)
    }

    Column {
        id: top
        x: 20
        y: 20
        width: parent.width - 40
        spacing: 12

        Column {
            spacing: 4
            width: parent.width
            UiText {
                objectName: "libraryTitle"
                text: root.texts["Library"]
                size: 20
                font.weight: Font.Black
            }
            // While a hotkey is captured the line says what to press: in the Set Hotkey button the
            // longer text would wrap the buttons and move the list under the pointer.
            UiText {
                objectName: "libraryDescription"
                width: parent.width
                text: root.library.capturing ? root.texts["Press the hotkey (Escape cancels, Backspace clears)..."]
                                             : root.texts["Library Description"]
                size: 11
                color: root.library.capturing ? Theme.redNeon : Theme.gray
                wrapMode: Text.WordWrap
            }
        }

        EditorField {
            id: filter
            objectName: "libraryFilter"
            width: Math.min(260, parent.width)
            leftPadding: 26
            Accessible.name: root.texts["Filter macros"]
            onTyped: value => root.library.filter = value
            SymbolIcon {
                x: 8
                anchors.verticalCenter: parent.verticalCenter
                name: "magnifyingglass"
                size: 12
                color: Theme.gray
            }
            UiText {
                x: filter.leftPadding
                anchors.verticalCenter: parent.verticalCenter
                visible: filter.text.length === 0
                text: root.texts["Filter macros"]
                size: 11
                color: Theme.gray
            }
        }

        LibraryActions {
            width: parent.width
            viewState: root.viewState
            library: root.library
        }

        UiText {
            objectName: "libraryMessage"
            visible: text.length > 0
            width: parent.width
            text: root.library.message
            size: 10
            color: Theme.redNeon
            wrapMode: Text.WordWrap
        }
        UiText {
            objectName: "scheduleProblem"
            visible: text.length > 0
            width: parent.width
            text: root.library.scheduleProblem
            size: 10
            color: Theme.orange
            wrapMode: Text.WordWrap
        }
    }

    // The widths of the columns after the name, shared by the heading and the rows.
    readonly property var columns: [64, 64, 110, 120]

    LibraryRow {
        id: heading
        objectName: "libraryHeading"
        heading: true
        x: 20
        anchors.top: top.bottom
        anchors.topMargin: 12
        width: parent.width - 40
        columns: root.columns
        cells: [root.texts["NAME"], root.texts["EVENTS"], root.texts["DURATION"], root.texts["HOTKEY"],
                root.texts["NEXT RUN"]]
    }

    ListView {
        id: list
        objectName: "libraryList"
        x: 20
        anchors.top: heading.bottom
        anchors.topMargin: 4
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 12
        width: parent.width - 40
        clip: true
        spacing: 4
        boundsBehavior: Flickable.StopAtBounds
        T.ScrollBar.vertical: ThinScrollBar { }
        model: root.library.rows
        currentIndex: root.library.current
        // The rows are one stop for Tab: the arrows choose a macro, Enter plays it.
        activeFocusOnTab: count > 0
        keyNavigationEnabled: false
        Accessible.role: Accessible.List
        Accessible.name: root.texts["Library"]
        onActiveFocusChanged: if (activeFocus && root.library.current < 0) root.library.choose(0)
        Keys.onPressed: event => {
            const moves = { [Qt.Key_Up]: -1, [Qt.Key_Down]: 1, [Qt.Key_Home]: -count, [Qt.Key_End]: count }
            if (event.key in moves) {
                root.library.choose(Math.max(0, Math.min(count - 1, root.library.current + moves[event.key])))
                positionViewAtIndex(root.library.current, ListView.Contain)
                event.accepted = true
            } else if (event.key === Qt.Key_Return || event.key === Qt.Key_Enter) {
                root.library.playAction()
                event.accepted = true
            }
        }
        delegate: LibraryRow {
            required property int index
            required property var modelData
            objectName: "libraryRow" + index
            width: list.width
            columns: root.columns
            current: index === root.library.current
            focusShown: list.activeFocus && current
            playing: modelData.playing
            problem: modelData.problem
            cells: [modelData.name, modelData.events, modelData.duration, modelData.hotkey, modelData.nextRun]
            onClicked: root.library.choose(index)
            onDoubleClicked: root.library.playAction()
        }
    }

    Column {
        objectName: "libraryEmpty"
        visible: list.count === 0
        anchors.horizontalCenter: list.horizontalCenter
        anchors.top: heading.bottom
        anchors.topMargin: 40
        width: Math.min(340, list.width)
        spacing: 6
        SymbolIcon {
            anchors.horizontalCenter: parent.horizontalCenter
            name: "books.vertical"
            size: 32
            color: Theme.purpleNeon
        }
        UiText {
            anchors.horizontalCenter: parent.horizontalCenter
            text: root.texts["Library Empty Title"]
            size: 15
            font.weight: Font.Bold
        }
        UiText {
            width: parent.width
            text: root.texts["Library Empty Hint"]
            size: 11
            color: Theme.gray
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.WordWrap
        }
    }
}
