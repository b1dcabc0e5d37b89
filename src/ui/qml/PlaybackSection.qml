import QtQuick
import LoopWren.Ui

// What a playback does by default: record pointer paths, how often to repeat, how fast to run.
SettingsSection {
    id: root
    required property ContentViewState viewState
    required property SettingsState settings
    readonly property QtObject engine: settings.engine

    objectName: "playbackSection"
    symbol: "play.circle"
    title: viewState.texts["PLAYBACK ENGINE DEFAULTS"]

    SettingsCheckBox {
        objectName: "recordMovementsBox"
        text: root.viewState.texts["Record Cursor Path Movements"]
        checked: root.engine.recordMouseMovements
        onToggled: root.engine.recordMouseMovements = checked
    }
    Divider { width: parent.width; color: Qt.rgba(1, 1, 1, 0.05) }
    SettingsCheckBox {
        objectName: "infiniteLoopBox"
        text: root.viewState.texts["Loop Executions Infinitely"]
        checked: root.engine.infiniteLoop
        onToggled: root.engine.infiniteLoop = checked
    }
    Divider {
        visible: loopRow.visible
        width: parent.width
        color: Qt.rgba(1, 1, 1, 0.05)
    }
    Item {
        id: loopRow
        objectName: "loopRow"
        visible: !root.engine.infiniteLoop
        width: parent.width
        implicitHeight: stepper.implicitHeight
        UiText {
            anchors.verticalCenter: parent.verticalCenter
            text: root.viewState.texts["Fixed Playback Loops"]
            size: 11
            font.weight: Font.Medium
        }
        Row {
            anchors.right: parent.right
            anchors.verticalCenter: parent.verticalCenter
            spacing: 6
            DelayStepper {
                id: stepper
                objectName: "loopStepper"
                anchors.verticalCenter: parent.verticalCenter
                onStepped: direction => root.settings.stepLoopCount(direction)
            }
            UiText {
                objectName: "loopCountLabel"
                anchors.verticalCenter: parent.verticalCenter
                width: 40
                text: root.settings.loopCountText
                size: 11
                horizontalAlignment: Text.AlignRight
            }
        }
    }
    Divider { width: parent.width; color: Qt.rgba(1, 1, 1, 0.05) }
    Column {
        width: parent.width
        spacing: 8
        Item {
            width: parent.width
            implicitHeight: speedLabel.implicitHeight
            UiText {
                text: root.viewState.texts["Playback Execution Speed"]
                size: 11
                font.weight: Font.Medium
            }
            UiText {
                id: speedLabel
                objectName: "speedLabel"
                anchors.right: parent.right
                text: root.settings.speedText
                size: 11
            }
        }
        SpeedSlider {
            objectName: "speedSlider"
            width: parent.width
            from: root.settings.speedMinimum
            to: root.settings.speedMaximum
            stepSize: root.settings.speedStep
            value: root.settings.speed
            onMoved: root.settings.moveSpeed(value)
        }
    }
}
