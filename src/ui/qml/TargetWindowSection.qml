import QtQuick
import QtQuick.Templates as T
import LoopWren.Ui

// The application to bring forward before playback, and where and how large its window is placed.
SettingsSection {
    id: root
    required property ContentViewState viewState
    required property SettingsState settings
    readonly property QtObject engine: settings.engine

    objectName: "targetWindowSection"
    symbol: "macwindow.badge.plus"
    title: viewState.texts["TARGET APPLICATION WINDOW"]
    description: viewState.texts["Target Window Description"]

    Item {
        width: parent.width
        implicitHeight: menu.implicitHeight
        UiText {
            anchors.verticalCenter: parent.verticalCenter
            text: root.viewState.texts["Target Program:"]
            size: 11
        }
        Row {
            anchors.right: parent.right
            spacing: 6
            PopupMenu {
                id: menu
                objectName: "targetAppMenu"
                model: root.settings.runningApps
                currentIndex: root.settings.targetAppIndex
                onActivated: index => root.settings.chooseTargetApp(index)
            }
            T.AbstractButton {
                id: refresh
                FocusRing { shown: refresh.visualFocus; radius: 7 }
                objectName: "refreshAppsButton"
                anchors.verticalCenter: parent.verticalCenter
                implicitWidth: leftPadding + contentItem.implicitWidth + rightPadding
                implicitHeight: topPadding + contentItem.implicitHeight + bottomPadding
                padding: 5
                onClicked: root.settings.refreshRunningApps()
                background: Rectangle {
                    radius: 4
                    color: Qt.rgba(1, 1, 1, refresh.pressed ? 0.16 : 0.08)
                }
                contentItem: SymbolIcon {
                    name: "arrow.clockwise"
                    size: 10
                    color: "white"
                }
            }
        }
    }
    Divider { width: parent.width; color: Qt.rgba(1, 1, 1, 0.05) }
    SettingsCheckBox {
        objectName: "focusTargetBox"
        text: root.viewState.texts["Focus app window before playback"]
        checked: root.engine.focusTargetAppBeforePlayback
        onToggled: root.engine.focusTargetAppBeforePlayback = checked
    }
    Divider { width: parent.width; color: Qt.rgba(1, 1, 1, 0.05) }
    SettingsCheckBox {
        objectName: "customCoordinatesBox"
        text: root.viewState.texts["Set custom coordinates"]
        checked: root.engine.setTargetWindowPosition
        onToggled: root.engine.setTargetWindowPosition = checked
    }
    Row {
        objectName: "coordinateFields"
        visible: root.engine.setTargetWindowPosition
        leftPadding: 20
        spacing: 12
        NumberField {
            label: "X:"
            fieldName: "targetXField"
            text: root.settings.targetXText
            onCommitted: value => root.settings.commitField(SettingsState.TargetX, value)
        }
        NumberField {
            label: "Y:"
            fieldName: "targetYField"
            text: root.settings.targetYText
            onCommitted: value => root.settings.commitField(SettingsState.TargetY, value)
        }
    }
    Divider { width: parent.width; color: Qt.rgba(1, 1, 1, 0.05) }
    SettingsCheckBox {
        objectName: "boundariesBox"
        text: root.viewState.texts["Force window boundaries"]
        checked: root.engine.setTargetWindowSize
        onToggled: root.engine.setTargetWindowSize = checked
    }
    Row {
        objectName: "sizeFields"
        visible: root.engine.setTargetWindowSize
        leftPadding: 20
        spacing: 12
        NumberField {
            label: "W:"
            fieldName: "targetWidthField"
            text: root.settings.targetWidthText
            onCommitted: value => root.settings.commitField(SettingsState.TargetWidth, value)
        }
        NumberField {
            label: "H:"
            fieldName: "targetHeightField"
            text: root.settings.targetHeightText
            onCommitted: value => root.settings.commitField(SettingsState.TargetHeight, value)
        }
    }
}
