import QtQuick
import QtQuick.Templates as T
import LoopWren.Ui

// A pop-up menu of plain texts. With currentIndex -1 it shows no entry.
T.ComboBox {
    id: root
    FocusRing { shown: root.visualFocus; radius: 9 }

    implicitWidth: 160
    implicitHeight: 24
    leftPadding: 8
    rightPadding: 22
    font.family: Theme.fontFamily
    font.pixelSize: 11

    HoverHandler { id: hover }

    background: Rectangle {
        radius: 6
        color: root.down || root.popup.visible ? Qt.rgba(1, 1, 1, 0.1)
                                               : Qt.rgba(0, 0, 0, hover.hovered ? 0.35 : 0.25)
        border.width: 1
        border.color: root.visualFocus ? Theme.alpha(Theme.purpleNeon, 0.6) : Qt.rgba(1, 1, 1, 0.12)
    }

    contentItem: UiText {
        objectName: "label"
        text: root.displayText
        size: 11
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
    }

    indicator: SymbolIcon {
        x: root.width - width - 6
        y: (root.height - height) / 2
        name: "chevron.down"
        size: 10
        color: Theme.gray
    }

    delegate: T.ItemDelegate {
        id: choice
        required property int index
        required property string modelData

        objectName: "choice" + index
        width: choice.ListView.view ? choice.ListView.view.width : implicitWidth
        implicitHeight: 24
        leftPadding: 8
        rightPadding: 8
        text: choice.modelData
        highlighted: root.highlightedIndex === choice.index

        contentItem: UiText {
            text: choice.text
            size: 11
            font.weight: root.currentIndex === choice.index ? Font.Bold : Font.Normal
            verticalAlignment: Text.AlignVCenter
            elide: Text.ElideRight
        }
        background: Rectangle {
            radius: 4
            color: choice.highlighted ? Theme.alpha(Theme.purpleNeon, 0.45) : "transparent"
        }
    }

    popup: T.Popup {
        y: root.height + 2
        width: root.width
        implicitHeight: Math.min(contentItem.implicitHeight + topPadding + bottomPadding, 240)
        padding: 4

        contentItem: ListView {
            clip: true
            implicitHeight: contentHeight
            model: root.popup.visible ? root.delegateModel : null
            currentIndex: root.highlightedIndex
            boundsBehavior: Flickable.StopAtBounds
            T.ScrollBar.vertical: ThinScrollBar { }
        }
        background: Rectangle {
            radius: 8
            color: "#25222f"
            border.width: 1
            border.color: Qt.rgba(1, 1, 1, 0.12)
        }
    }
}
