#include "timelineedits.h"

#include <algorithm>

namespace loopwren::timelineedits {
namespace {

Timeline::iterator findFirst(Timeline& events, const Uuid& id)
{
    return std::find_if(events.begin(), events.end(), [&](const MacroEvent& e) { return e.id == id; });
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

void updateEvent(Timeline& events, const MacroEvent& event)
{
    const auto it = findFirst(events, event.id);
    if (it != events.end())
        *it = event;
}

void deleteEvent(Timeline& events, const Uuid& id)
{
    std::erase_if(events, [&](const MacroEvent& e) { return e.id == id; });
}

void duplicateEvent(Timeline& events, const Uuid& id)
{
    const auto it = findFirst(events, id);
    if (it == events.end())
        return;
    MacroEvent copy = *it;
    copy.id = Uuid::random();
    events.insert(it + 1, copy);
}

void moveEvent(Timeline& events, const Uuid& id, std::ptrdiff_t offset)
{
    const auto it = findFirst(events, id);
    if (it == events.end())
        return;
    const std::ptrdiff_t i = it - events.begin();
    const std::ptrdiff_t j = i + offset;
    if (j < 0 || j >= static_cast<std::ptrdiff_t>(events.size()))
        return;
    std::swap(events[static_cast<std::size_t>(i)], events[static_cast<std::size_t>(j)]);
}

void insertWait(Timeline& events, const std::optional<Uuid>& after)
{
    auto it = after ? findFirst(events, *after) : events.end();
    if (it != events.end())
        ++it;
    events.insert(it, newWait());
}

void moveEvents(Timeline& events, const std::set<std::size_t>& positions, std::size_t destination)
{
    destination = std::min(destination, events.size());
    Timeline moved;
    Timeline kept;
    kept.reserve(events.size());
    std::size_t insertAt = 0;
    for (std::size_t i = 0; i < events.size(); ++i) {
        if (i == destination)
            insertAt = kept.size();
        if (positions.count(i))
            moved.push_back(std::move(events[i]));
        else
            kept.push_back(std::move(events[i]));
    }
    if (destination == events.size())
        insertAt = kept.size();
    kept.insert(kept.begin() + static_cast<std::ptrdiff_t>(insertAt), std::make_move_iterator(moved.begin()),
                std::make_move_iterator(moved.end()));
    events = std::move(kept);
}

} // namespace loopwren::timelineedits
