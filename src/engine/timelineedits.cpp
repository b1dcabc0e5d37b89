#include "timelineedits.h"

#include <algorithm>
#include <numeric>
#include <vector>

namespace loopwren::timelineedits {
namespace {

std::optional<std::size_t> findFirst(const ObservedTimeline& events, const Uuid& id)
{
    const Timeline& list = events.events();
    const auto it = std::find_if(list.begin(), list.end(), [&](const MacroEvent& e) { return e.id == id; });
    if (it == list.end())
        return std::nullopt;
    return static_cast<std::size_t>(it - list.begin());
}

} // namespace

MacroEvent newWait()
{
    MacroEvent wait;
    wait.id = Uuid::random();
    wait.type = EventType::wait;
    wait.delaySincePrevious = 1.0;
    return wait;
}

void updateEvent(ObservedTimeline& events, const MacroEvent& event)
{
    if (const auto row = findFirst(events, event.id))
        events.update(*row, event);
}

void deleteEvent(ObservedTimeline& events, const Uuid& id)
{
    // From the back, so the rows still to go keep their positions.
    for (std::size_t row = events.events().size(); row-- > 0;) {
        if (events.events()[row].id == id)
            events.remove(row);
    }
}

void duplicateEvent(ObservedTimeline& events, const Uuid& id)
{
    const auto row = findFirst(events, id);
    if (!row)
        return;
    MacroEvent copy = events.events()[*row];
    copy.id = Uuid::random();
    events.insert(*row + 1, std::move(copy));
}

void moveEvent(ObservedTimeline& events, const Uuid& id, std::ptrdiff_t offset)
{
    const auto row = findFirst(events, id);
    if (!row)
        return;
    const std::ptrdiff_t to = static_cast<std::ptrdiff_t>(*row) + offset;
    if (to < 0 || to >= static_cast<std::ptrdiff_t>(events.events().size()))
        return;
    const auto from = *row;
    const auto with = static_cast<std::size_t>(to);
    events.move(from, with);
    // A step of one is an exchange with the neighbour already; a longer one brings the event that
    // stood at the destination back to where the moved one came from.
    if (offset > 1)
        events.move(with - 1, from);
    else if (offset < -1)
        events.move(with + 1, from);
}

void insertWait(ObservedTimeline& events, const std::optional<Uuid>& after)
{
    const auto row = after ? findFirst(events, *after) : std::nullopt;
    events.insert(row ? *row + 1 : events.events().size(), newWait());
}

void moveEvents(ObservedTimeline& events, const std::set<std::size_t>& positions, std::size_t destination)
{
    const std::size_t count = events.events().size();
    destination = std::min(destination, count);
    // The order wanted, as positions of the current list: the rows that stay, with the block in front
    // of destination.
    std::vector<std::size_t> kept;
    std::vector<std::size_t> block;
    std::size_t insertAt = 0;
    for (std::size_t row = 0; row < count; ++row) {
        if (row == destination)
            insertAt = kept.size();
        (positions.count(row) ? block : kept).push_back(row);
    }
    if (destination == count)
        insertAt = kept.size();
    std::vector<std::size_t> wanted = kept;
    wanted.insert(wanted.begin() + static_cast<std::ptrdiff_t>(insertAt), block.begin(), block.end());

    // Each row moves into place from the front, one move at a time; a single dragged row is one move.
    std::vector<std::size_t> current(count);
    std::iota(current.begin(), current.end(), std::size_t{0});
    if (block.size() == 1) {
        const std::size_t to =
            static_cast<std::size_t>(std::find(wanted.begin(), wanted.end(), block[0]) - wanted.begin());
        events.move(block[0], to);
        return;
    }
    for (std::size_t to = 0; to < count; ++to) {
        const auto from = static_cast<std::size_t>(
            std::find(current.begin() + static_cast<std::ptrdiff_t>(to), current.end(), wanted[to]) -
            current.begin());
        if (from == to)
            continue;
        events.move(from, to);
        const std::size_t row = current[from];
        current.erase(current.begin() + static_cast<std::ptrdiff_t>(from));
        current.insert(current.begin() + static_cast<std::ptrdiff_t>(to), row);
    }
}

} // namespace loopwren::timelineedits
