import QtQuick

// The pointer-over growth of a button, eased like a critically damped spring of half a second.
Behavior {
    NumberAnimation { duration: 450; easing.type: Easing.OutCubic }
}
