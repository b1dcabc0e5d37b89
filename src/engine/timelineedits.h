#pragma once

#include "macroevent.h"

#include <cstddef>
#include <optional>
#include <set>

namespace loopwren {

// Edits of single events. Each finds its event by id, never by position, so a caller holding an old
// copy of an event can still name it. Identifiers may repeat in a loaded file: deleteEvent removes
// every match, the others act on the first.
namespace timelineedits {

MacroEvent newWait();

void updateEvent(Timeline& events, const MacroEvent& event);
void deleteEvent(Timeline& events, const Uuid& id);
void duplicateEvent(Timeline& events, const Uuid& id);
void moveEvent(Timeline& events, const Uuid& id, std::ptrdiff_t offset);
void insertWait(Timeline& events, const std::optional<Uuid>& after);
// Takes the events at positions out, keeping their order, and puts them back as one block in front
// of the event that stood at destination (at the end when destination is the count). Positions
// outside the timeline are ignored.
void moveEvents(Timeline& events, const std::set<std::size_t>& positions, std::size_t destination);

} // namespace timelineedits
} // namespace loopwren
