import QtQuick
import LoopWren.Ui

// How far a playback strays from the recorded schedule, and whether the user's own hand stops it.
SettingsSection {
    id: root
    required property ContentViewState viewState
    required property SettingsState settings
    readonly property QtObject engine: settings.engine

    objectName: "humanPlaybackSection"
    symbol: "slider.horizontal.3"
    title: viewState.texts["HUMAN-LIKE PLAYBACK"]
    description: viewState.texts["Human-like Playback Description"]

    component LabelledSlider: Column {
        id: sliderRow
        property string label
        property string valueText
        property alias slider: slider
        width: parent.width
        spacing: 8
        Item {
            width: parent.width
            implicitHeight: valueLabel.implicitHeight
            UiText {
                text: sliderRow.label
                size: 11
                font.weight: Font.Medium
            }
            UiText {
                id: valueLabel
                objectName: sliderRow.objectName + "Label"
                anchors.right: parent.right
                text: sliderRow.valueText
                size: 11
            }
        }
        SpeedSlider {
            id: slider
            objectName: sliderRow.objectName + "Slider"
            width: parent.width
            from: 0
            stepSize: 1
        }
    }

    LabelledSlider {
        objectName: "variation"
        label: root.viewState.texts["Delay Variation"]
        valueText: root.settings.variationText
        slider.to: root.settings.variationMaximum
        slider.value: root.settings.variation
        slider.onMoved: root.settings.moveVariation(slider.value)
    }
    Divider { width: parent.width; color: Qt.rgba(1, 1, 1, 0.05) }
    Item {
        width: parent.width
        implicitHeight: pauseFields.implicitHeight
        UiText {
            anchors.verticalCenter: parent.verticalCenter
            text: root.viewState.texts["Pause Between Passes (seconds)"]
            size: 11
            font.weight: Font.Medium
        }
        Row {
            id: pauseFields
            anchors.right: parent.right
            spacing: 12
            NumberField {
                label: root.viewState.texts["Min:"]
                fieldName: "pauseMinimumField"
                text: root.settings.pauseMinimumText
                onCommitted: value => root.settings.commitPause(false, value)
            }
            NumberField {
                label: root.viewState.texts["Max:"]
                fieldName: "pauseMaximumField"
                text: root.settings.pauseMaximumText
                onCommitted: value => root.settings.commitPause(true, value)
            }
        }
    }
    Divider { width: parent.width; color: Qt.rgba(1, 1, 1, 0.05) }
    LabelledSlider {
        objectName: "spread"
        label: root.viewState.texts["Click Spread"]
        valueText: root.settings.spreadText
        slider.to: root.settings.spreadMaximum
        slider.value: root.settings.spread
        slider.onMoved: root.settings.moveSpread(slider.value)
    }
    Divider { width: parent.width; color: Qt.rgba(1, 1, 1, 0.05) }
    SettingsCheckBox {
        objectName: "stopOnInputBox"
        enabled: root.settings.stopOnInputAvailable
        opacity: enabled ? 1 : 0.5
        text: root.viewState.texts["Stop playback when I use the mouse or keyboard"]
        checked: root.engine.stopPlaybackOnUserInput
        onToggled: root.engine.stopPlaybackOnUserInput = checked
    }
    UiText {
        objectName: "stopOnInputProblem"
        visible: text.length > 0
        width: parent.width
        leftPadding: 22
        text: root.settings.stopOnInputProblem
        size: 10
        color: Theme.gray
        wrapMode: Text.WordWrap
    }
}
