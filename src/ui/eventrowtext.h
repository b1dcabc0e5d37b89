#pragma once

#include "hotkey.h"
#include "macroevent.h"

#include <QString>
#include <optional>

namespace loopwren {

// The texts the timeline and the event editor build from an event, kept out of QML so they are tested
// as plain functions and computed only for the rows on screen.
namespace rowtext {

// "Wait 1.50s" / "Jeda 1.50s" for a wait, the event's description otherwise.
QString title(const MacroEvent& event, const QString& language);
QString detail(const MacroEvent& event, const QString& language);
// "+1.50s"
QString delayBadge(double delay);
// A coordinate cut towards zero; "nan", "inf" and "-inf" for values no integer can hold.
QString wholeNumber(double value);

// The symbol name standing for the event type, shared by the rows and the editor.
QString symbolName(EventType type);
// The plain-state colour of a row's symbol: "purple", "blue", "orange" or "yellow".
QString symbolTone(EventType type);
// The editor's type name: "Pause execution flow" for a wait in every language, else the raw name
// capitalised.
QString editorTypeName(EventType type);

QString emptyHint(const QString& language, bool isRecording, const Hotkey& recordHotkey);
// "12 Events"
QString eventCount(qsizetype count, const QString& language);

// The editor's fields: delays with 0 to 3 fraction digits, coordinates and key codes as whole numbers.
QString delayField(double value);
std::optional<double> parseDelayField(const QString& text);
QString wholeField(double value);
std::optional<qint64> parseWholeField(const QString& text);

} // namespace rowtext
} // namespace loopwren
