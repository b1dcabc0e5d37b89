import QtQuick

// The 36 x 36 mark: the "logo" picture when the resources hold one, else the gradient mark.
Item {
    id: root
    property url source
    implicitWidth: 36
    implicitHeight: 36

    Loader {
        id: picture
        anchors.fill: parent
        active: root.source.toString().length > 0
        // By address, for the same reason as the backdrop's blur: the effects module loads only with a logo.
        source: "LogoPicture.qml"
        onLoaded: item.source = Qt.binding(() => root.source)
    }

    Rectangle {
        objectName: "logoFallback"
        anchors.fill: parent
        visible: !(picture.item && picture.item.ready)
        radius: 12
        gradient: Gradient {
            orientation: Gradient.Horizontal
            GradientStop { position: 0.0; color: Theme.purpleNeon }
            GradientStop { position: 1.0; color: Theme.redNeon }
        }
        SymbolIcon {
            anchors.centerIn: parent
            name: "cursorarrow.click.2"
            size: 16
            color: "white"
        }
    }
}
