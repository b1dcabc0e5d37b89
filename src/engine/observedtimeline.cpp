#include "observedtimeline.h"

namespace loopwren {

template <typename Edit>
void ObservedTimeline::change(const TimelineChange& change, Edit edit)
{
    if (m_before)
        m_before(change);
    edit();
    if (m_after)
        m_after(change);
}

void ObservedTimeline::insert(std::size_t row, MacroEvent event)
{
    change({TimelineChange::Kind::inserted, row, row},
           [&] { m_events.insert(m_events.begin() + static_cast<std::ptrdiff_t>(row), std::move(event)); });
}

void ObservedTimeline::remove(std::size_t row)
{
    change({TimelineChange::Kind::removed, row, row},
           [&] { m_events.erase(m_events.begin() + static_cast<std::ptrdiff_t>(row)); });
}

void ObservedTimeline::move(std::size_t from, std::size_t to)
{
    if (from == to)
        return;
    change({TimelineChange::Kind::moved, from, to}, [&] {
        MacroEvent event = std::move(m_events[from]);
        m_events.erase(m_events.begin() + static_cast<std::ptrdiff_t>(from));
        m_events.insert(m_events.begin() + static_cast<std::ptrdiff_t>(to), std::move(event));
    });
}

void ObservedTimeline::update(std::size_t row, MacroEvent event)
{
    change({TimelineChange::Kind::updated, row, row}, [&] { m_events[row] = std::move(event); });
}

void ObservedTimeline::replaceAll(Timeline events)
{
    change({TimelineChange::Kind::replaced, 0, 0}, [&] { m_events = std::move(events); });
}

} // namespace loopwren
