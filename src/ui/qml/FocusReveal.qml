import QtQuick

// Scrolls a flickable so the control that takes the keyboard focus inside it is in view, as a Tab
// onto a control below the fold would otherwise leave the focus where nobody sees it.
QtObject {
    id: root
    required property Flickable flickable
    property real margin: 12

    readonly property Connections watch: Connections {
        target: root.flickable.Window.window
        function onActiveFocusItemChanged() { root.reveal(root.flickable.Window.activeFocusItem) }
    }

    function reveal(item) {
        const content = flickable.contentItem
        let inside = false
        for (let parent = item; parent; parent = parent.parent) {
            if (parent === content) {
                inside = true
                break
            }
        }
        if (!inside || flickable.contentHeight <= flickable.height)
            return
        const box = item.mapToItem(content, 0, 0, item.width, item.height)
        const bottom = Math.max(0, flickable.contentHeight - flickable.height)
        if (box.y - margin < flickable.contentY)
            flickable.contentY = Math.max(0, box.y - margin)
        else if (box.y + box.height + margin > flickable.contentY + flickable.height)
            flickable.contentY = Math.min(bottom, box.y + box.height + margin - flickable.height)
    }
}
