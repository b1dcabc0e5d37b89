import QtQuick
import LoopWren.Ui

// The interface language.
SettingsSection {
    id: root
    required property ContentViewState viewState
    required property SettingsState settings

    objectName: "languageSection"
    symbol: "globe"
    title: viewState.texts["LANGUAGE SELECTION"]

    Item {
        width: parent.width
        implicitHeight: menu.implicitHeight
        UiText {
            anchors.verticalCenter: parent.verticalCenter
            text: root.viewState.texts["App Language:"]
            size: 11
        }
        PopupMenu {
            id: menu
            objectName: "languageMenu"
            anchors.right: parent.right
            model: root.settings.languageChoices
            currentIndex: root.settings.languageIndex
            onActivated: index => root.settings.chooseLanguage(index)
        }
    }
}
