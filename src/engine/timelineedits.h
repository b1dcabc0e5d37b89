#pragma once

#include "observedtimeline.h"

#include <cstddef>
#include <optional>
#include <set>

namespace loopwren {

// Edits of single events. Each finds its event by id, never by position, so a caller holding an old
// copy of an event can still name it. Identifiers may repeat in a loaded file: deleteEvent removes
// every match, the others act on the first.
namespace timelineedits {

MacroEvent newWait();

void updateEvent(ObservedTimeline& events, const MacroEvent& event);
void deleteEvent(ObservedTimeline& events, const Uuid& id);
void duplicateEvent(ObservedTimeline& events, const Uuid& id);
void moveEvent(ObservedTimeline& events, const Uuid& id, std::ptrdiff_t offset);
void insertWait(ObservedTimeline& events, const std::optional<Uuid>& after);
// Takes the events at positions out, keeping their order, and puts them back as one block in front
// of the event that stood at destination (at the end when destination is the count). Positions
// outside the timeline are ignored.
void moveEvents(ObservedTimeline& events, const std::set<std::size_t>& positions, std::size_t destination);

} // namespace timelineedits
} // namespace loopwren
