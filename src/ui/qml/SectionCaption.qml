import QtQuick

// The small spaced capitals over an editor section.
UiText {
    size: 9
    font.weight: Font.Bold
    font.letterSpacing: 1
    color: Theme.gray
}
