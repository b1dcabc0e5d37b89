import QtQuick
import LoopWren.Ui

// The fixed-width sidebar: logo, navigation and the accessibility status.
Item {
    id: root
    required property ContentViewState viewState

    implicitWidth: 170

    Backdrop {
        anchors.fill: parent
        tone: "sidebar"
        behindWindow: true
    }

    Column {
        id: top
        x: 16
        y: 16
        width: parent.width - 32
        spacing: 20

        Row {
            spacing: 12
            height: 46 // the mark and 10 below it
            LogoMark { source: root.viewState.logoSource }
            Column {
                spacing: 1
                anchors.top: parent.top
                anchors.topMargin: 3
                UiText {
                    text: "LOOP"
                    size: 14
                    font.weight: Font.Black
                    font.letterSpacing: 2.5
                }
                UiText {
                    text: "WREN"
                    size: 9
                    font.weight: Font.Bold
                    font.letterSpacing: 6
                    color: Theme.purpleNeon
                }
            }
        }

        Divider { width: parent.width }

        Column {
            width: parent.width
            spacing: 6
            UiText {
                objectName: "navigationHeading"
                leftPadding: 4
                bottomPadding: 4
                text: root.viewState.texts["NAVIGATION"]
                size: 8
                font.weight: Font.Bold
                font.letterSpacing: 1.5
                color: Theme.gray
            }
            NavigationEntry {
                objectName: "navTimeline"
                width: parent.width
                symbol: "clock.fill"
                text: root.viewState.texts["Timeline"]
                active: root.viewState.activeTab === ContentViewState.Timeline
                enabled: root.viewState.navigationEnabled
                onClicked: root.viewState.navigate(ContentViewState.Timeline)
            }
            NavigationEntry {
                objectName: "navSettings"
                width: parent.width
                symbol: "slider.horizontal.3"
                text: root.viewState.texts["Setting"]
                active: root.viewState.activeTab === ContentViewState.Settings
                enabled: root.viewState.navigationEnabled
                onClicked: root.viewState.navigate(ContentViewState.Settings)
            }
            NavigationEntry {
                objectName: "navLibrary"
                width: parent.width
                symbol: "books.vertical"
                text: root.viewState.texts["Library"]
                active: root.viewState.activeTab === ContentViewState.Library
                enabled: root.viewState.navigationEnabled
                onClicked: root.viewState.navigate(ContentViewState.Library)
            }
        }
    }

    AccessibilityBox {
        viewState: root.viewState
        x: 16
        width: parent.width - 32
        anchors.bottom: parent.bottom
        anchors.bottomMargin: 16
    }
}
