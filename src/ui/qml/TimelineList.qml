import QtQuick
import QtQuick.Templates as T
import LoopWren.Ui

// The recycling list of rows: only the rows on screen exist, so a long timeline stays fluid.
ListView {
    id: list
    required property ContentViewState viewState

    // Rows have one height, so a position in the list is row * rowHeight.
    readonly property real rowHeight: 50
    // Where a dragged row would land: the position it is dropped in front of, -1 while not dragging.
    property int dropTarget: -1

    clip: true
    // The rows are reached from the keyboard as one stop: Tab onto the list, the arrows (Home, End,
    // Page Up and Down) move between rows, Enter or Space opens the row in the editor.
    activeFocusOnTab: true
    keyNavigationEnabled: false // the keys below move focusedRow, not the view's current item
    property int focusedRow: 0
    onCountChanged: focusedRow = Math.max(0, Math.min(focusedRow, count - 1))
    onActiveFocusChanged: if (activeFocus) focusRow(focusedRow)
    Keys.onPressed: event => {
        const page = Math.max(1, Math.floor(height / rowHeight) - 1)
        const moves = {
            [Qt.Key_Up]: -1, [Qt.Key_Down]: 1, [Qt.Key_PageUp]: -page, [Qt.Key_PageDown]: page,
            [Qt.Key_Home]: -count, [Qt.Key_End]: count
        }
        if (event.key in moves) {
            focusRow(focusedRow + moves[event.key])
            event.accepted = true
        } else if (event.key === Qt.Key_Return || event.key === Qt.Key_Enter || event.key === Qt.Key_Space) {
            viewState.tapRow(focusedRow)
            event.accepted = true
        }
    }
    function focusRow(row) {
        if (count === 0)
            return
        focusedRow = Math.max(0, Math.min(row, count - 1))
        positionViewAtIndex(focusedRow, ListView.Contain)
    }
    topMargin: 6
    bottomMargin: 6
    model: viewState.timeline
    boundsBehavior: Flickable.StopAtBounds
    reuseItems: true
    cacheBuffer: 400
    T.ScrollBar.vertical: ThinScrollBar { }

    delegate: EventRowView {
        width: list.width
        onTapped: index => {
            list.focusedRow = index
            list.viewState.tapRow(index)
        }
        onDragMoved: (index, sceneY) => list.dropTarget = list.destinationAt(sceneY)
        onDragEnded: (index, sceneY) => {
            const destination = list.destinationAt(sceneY)
            list.dropTarget = -1
            list.viewState.dropRow(index, destination)
        }
    }

    // The insertion point under a scene position: in front of the row under it, or behind it when the
    // position lies in that row's lower half.
    function destinationAt(sceneY) {
        const y = list.contentItem.mapFromItem(null, 0, sceneY).y
        const row = Math.floor(y / rowHeight)
        if (row < 0)
            return 0
        if (row >= count)
            return count
        return y - row * rowHeight > rowHeight / 2 ? row + 1 : row
    }

    // Which row Enter opens, while the list has the keyboard focus.
    FocusRing {
        anchors.fill: undefined
        anchors.margins: 0
        parent: list.contentItem
        shown: list.activeFocus && list.count > 0
        x: 11
        y: list.focusedRow * list.rowHeight + 1
        width: list.width - 22
        height: list.rowHeight - 2
        radius: 10
    }

    Rectangle {
        objectName: "dropIndicator"
        parent: list.contentItem
        visible: list.dropTarget >= 0
        x: 14
        width: list.width - 28
        height: 2
        radius: 1
        y: list.dropTarget * list.rowHeight - 1
        color: Theme.purpleNeon
    }

    // The row the playback reached last, which the list scrolls to centre.
    property int followedRow: -1

    NumberAnimation {
        id: follow
        target: list
        property: "contentY"
        duration: 350
        easing.type: Easing.InOutQuad
        // One scroll at a time: a playback moves on faster than a scroll ends, and restarting it for
        // every row would keep the window redrawing and laying out rows while it plays.
        onFinished: list.centre(list.followedRow)
    }

    // Centres the row, with the default animation, unless it is centred already.
    function centre(row) {
        if (row < 0 || row >= count)
            return
        const from = contentY
        positionViewAtIndex(row, ListView.Center)
        const to = contentY
        contentY = from
        if (Math.abs(to - from) < 0.5)
            return
        follow.from = from
        follow.to = to
        follow.start()
    }

    Connections {
        target: list.viewState.timeline
        function onFollowRequested(row) {
            list.followedRow = row
            if (!follow.running)
                list.centre(row)
        }
    }
}
