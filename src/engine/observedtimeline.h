#pragma once

#include "macroevent.h"

#include <cstddef>
#include <cstdint>
#include <functional>

namespace loopwren {

// One change of one row, or of the whole list.
struct TimelineChange
{
    enum class Kind : std::uint8_t
    {
        inserted,
        removed,
        moved,
        updated,
        replaced, // the whole list
    };
    Kind kind = Kind::replaced;
    std::size_t row = 0; // the row inserted, removed, updated or moved
    std::size_t to = 0;  // moved: where the row ends up
};

// A timeline that announces each change before and after it is made, so a view can follow row by
// row instead of comparing copies.
class ObservedTimeline
{
public:
    using Observer = std::function<void(const TimelineChange&)>;

    explicit ObservedTimeline(Timeline& events, Observer before = {}, Observer after = {})
        : m_events(events), m_before(std::move(before)), m_after(std::move(after))
    {
    }

    const Timeline& events() const { return m_events; }

    void insert(std::size_t row, MacroEvent event);
    void remove(std::size_t row);
    void move(std::size_t from, std::size_t to);
    void update(std::size_t row, MacroEvent event);
    void replaceAll(Timeline events);

private:
    template <typename Edit>
    void change(const TimelineChange& change, Edit edit);

    Timeline& m_events;
    Observer m_before;
    Observer m_after;
};

} // namespace loopwren
