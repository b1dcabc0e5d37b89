import QtQuick
import QtQuick.Templates as T
import LoopWren.Ui

// The window's root view: the sidebar, a hairline, and the content area with the page shown and, on the
// timeline page, the event editor while an event is selected.
Item {
    id: root
    required property ContentViewState viewState
    required property SettingsState settingsState
    required property LibraryState libraryState
    readonly property bool onTimeline: viewState.activeTab === ContentViewState.Timeline
    readonly property bool onSettings: viewState.activeTab === ContentViewState.Settings
    readonly property bool onLibrary: viewState.activeTab === ContentViewState.Library
    readonly property Item contentLayout: layout

    implicitWidth: 850
    implicitHeight: 550

    // A hotkey capture listens to this window only: while the settings page is in front in it and it
    // has the focus.
    Binding {
        target: root.settingsState
        property: "pageInFront"
        value: root.onSettings && root.Window.active
    }
    Binding {
        target: root.libraryState
        property: "pageInFront"
        value: root.onLibrary && root.Window.active
    }

    Backdrop {
        anchors.fill: parent
        tone: "window"
        behindWindow: true
    }

    // A tiling desktop may make the window smaller than its minimum. The layout follows it down to the
    // floor below, where every page still fits; below that the whole window scrolls, so nothing is
    // ever out of reach.
    readonly property real floorWidth: 600
    readonly property real floorHeight: 420
    // The editor takes its own column beside the page while the page keeps a usable width; in a
    // narrower window it lies over the right of the list instead, below the control bar.
    readonly property bool editorBeside: content.width - 221 >= 400

    Flickable {
        id: frame
        objectName: "windowScroll"
        anchors.fill: parent
        contentWidth: layout.width
        contentHeight: layout.height
        interactive: contentWidth > width || contentHeight > height
        boundsBehavior: Flickable.StopAtBounds
        clip: interactive
        T.ScrollBar.vertical: ThinScrollBar { }
        T.ScrollBar.horizontal: ThinScrollBar { }
        readonly property FocusReveal focusReveal: FocusReveal { flickable: frame }

    Item {
        id: layout
        width: Math.max(frame.width, root.floorWidth)
        height: Math.max(frame.height, root.floorHeight)

        Sidebar {
            id: sidebar
            objectName: "sidebar"
            width: 170
            height: parent.height
            viewState: root.viewState
        }

        Divider {
            id: sidebarDivider
            vertical: true
            x: sidebar.width
            height: parent.height
        }

        Item {
            id: content
            objectName: "contentArea"
            x: sidebarDivider.x + 1
            width: parent.width - x
            height: parent.height

            Backdrop {
                anchors.fill: parent
                tone: "content"
                behindWindow: true
            }

            Item {
                id: page
                width: parent.width - (root.editorBeside ? editorSlot.width : 0)
                height: parent.height

                Item {
                    objectName: "timelinePage"
                    anchors.fill: parent
                    visible: opacity > 0
                    opacity: root.onTimeline ? 1 : 0
                    Behavior on opacity { NumberAnimation { duration: 150; easing.type: Easing.InOutQuad } }

                    ControlBar {
                        id: controlBar
                        objectName: "controlBar"
                        width: parent.width
                        // The buttons wrap as they would beside an open editor, whether it is open or
                        // not: opening it then moves nothing, and the row the pointer is over stays there.
                        layoutWidth: root.editorBeside ? content.width - 221 : content.width
                        viewState: root.viewState
                        libraryState: root.libraryState
                    }
                    TimelineArea {
                        anchors.top: controlBar.bottom
                        width: parent.width
                        height: parent.height - controlBar.height
                        viewState: root.viewState
                    }
                    // Why the last playback ended early, until the next one starts.
                    Rectangle {
                        objectName: "stopNotice"
                        visible: root.settingsState.engine.playbackStoppedByUserInput
                        anchors.horizontalCenter: parent.horizontalCenter
                        anchors.bottom: parent.bottom
                        anchors.bottomMargin: 16
                        width: stopNoticeText.implicitWidth + 24
                        height: stopNoticeText.implicitHeight + 12
                        radius: 8
                        color: Qt.rgba(Theme.redNeon.r, Theme.redNeon.g, Theme.redNeon.b, 0.15)
                        border.width: 1
                        border.color: Qt.rgba(Theme.redNeon.r, Theme.redNeon.g, Theme.redNeon.b, 0.6)
                        UiText {
                            id: stopNoticeText
                            objectName: "stopNoticeText"
                            anchors.centerIn: parent
                            text: root.viewState.texts["Playback stopped: you used the mouse or keyboard"]
                            size: 11
                            font.weight: Font.Medium
                        }
                    }
                }

                // Built when first needed, so it costs nothing at start-up.
                Loader {
                    objectName: "settingsPage"
                    anchors.fill: parent
                    visible: opacity > 0
                    active: visible
                    opacity: root.onSettings ? 1 : 0
                    Behavior on opacity { NumberAnimation { duration: 150; easing.type: Easing.InOutQuad } }
                    sourceComponent: SettingsPage {
                        viewState: root.viewState
                        settings: root.settingsState
                    }
                }

                Loader {
                    objectName: "libraryPage"
                    anchors.fill: parent
                    visible: opacity > 0
                    active: visible
                    opacity: root.onLibrary ? 1 : 0
                    Behavior on opacity { NumberAnimation { duration: 150; easing.type: Easing.InOutQuad } }
                    sourceComponent: LibraryPage {
                        viewState: root.viewState
                        library: root.libraryState
                    }
                }

                NoticeBanner {
                    objectName: "notice"
                    viewState: root.viewState
                    anchors.horizontalCenter: parent.horizontalCenter
                    anchors.bottom: parent.bottom
                    // Clear of the recording indicator, which keeps counting beneath it.
                    anchors.bottomMargin: root.viewState.isRecording ? 64 : 16
                    width: Math.min(parent.width - 32, 560)
                }
            }

            // Slides in from the trailing edge while fading in, and back out.
            Item {
                id: editorSlot
                objectName: "editorSlot"
                anchors.right: parent.right
                y: root.editorBeside ? 0 : controlBar.height
                height: parent.height - y
                clip: true
                width: root.viewState.editorVisible ? 221 : 0
                opacity: root.viewState.editorVisible ? 1 : 0
                visible: width > 0
                Behavior on width { NumberAnimation { duration: 250; easing.type: Easing.InOutQuad } }
                Behavior on opacity { NumberAnimation { duration: 250; easing.type: Easing.InOutQuad } }

                // Over the list, the rows beneath must not show through the panel's light tint.
                Rectangle {
                    anchors.fill: parent
                    visible: !root.editorBeside
                    color: "#16141d"
                }
                Divider { vertical: true; height: parent.height }
                Loader {
                    id: editorLoader
                    objectName: "eventEditor"
                    x: 1
                    height: parent.height
                    active: editorSlot.visible
                    sourceComponent: EventEditorPanel {
                        height: editorLoader.height
                        viewState: root.viewState
                    }
                }
            }
        }
    }
    }

    Loader {
        objectName: "updateNotice"
        anchors.fill: parent
        visible: root.viewState.updateAvailable
        active: visible
        sourceComponent: UpdateNotice {
            viewState: root.viewState
            page: root.contentLayout
        }
    }
}
