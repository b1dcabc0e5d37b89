import QtQuick
import Qt5Compat.GraphicalEffects

// This window's own content beneath a within-window backdrop, blurred.
FastBlur {
    id: root
    property Item blurSource
    radius: 48
    source: ShaderEffectSource {
        sourceItem: root.blurSource
        hideSource: false
        live: true
    }
}
