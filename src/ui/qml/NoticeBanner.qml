import QtQuick
import QtQuick.Templates as T
import LoopWren.Ui

// What did not work as asked and what to do about it, over the foot of the page until it is
// dismissed or a newer notice takes its place. The detail (a path, the system's reason) can be
// selected and copied.
Rectangle {
    id: root
    required property ContentViewState viewState

    visible: viewState.noticeText.length > 0
    implicitHeight: column.implicitHeight + 20
    radius: 10
    color: Qt.rgba(0.08, 0.06, 0.1, 0.95)
    border.width: 1
    border.color: Theme.alpha(Theme.redNeon, 0.5)

    Column {
        id: column
        x: 12
        y: 10
        width: parent.width - 24 - dismiss.width - 8
        spacing: 4
        UiText {
            objectName: "noticeText"
            width: parent.width
            text: root.viewState.noticeText
            size: 11
            font.weight: Font.DemiBold
            wrapMode: Text.WordWrap
        }
        TextEdit {
            objectName: "noticeDetail"
            visible: text.length > 0
            width: parent.width
            text: root.viewState.noticeDetail
            readOnly: true
            selectByMouse: true
            wrapMode: TextEdit.WrapAnywhere
            color: Theme.gray
            selectionColor: Theme.alpha(Theme.purpleNeon, 0.5)
            font.family: Theme.fontFamily
            font.pixelSize: 10
            activeFocusOnTab: false
        }
    }

    T.AbstractButton {
        id: dismiss
        objectName: "dismissNotice"
        FocusRing { shown: dismiss.visualFocus; radius: 10 }
        anchors.right: parent.right
        anchors.rightMargin: 10
        y: 10
        implicitWidth: contentItem.implicitWidth
        implicitHeight: contentItem.implicitHeight
        Accessible.name: root.viewState.texts["Dismiss"]
        onClicked: root.viewState.dismissNoticeAction()
        contentItem: SymbolIcon {
            name: "xmark.circle.fill"
            size: 14
            color: Qt.rgba(1, 1, 1, dismiss.hovered ? 0.7 : 0.45)
        }
    }
}
