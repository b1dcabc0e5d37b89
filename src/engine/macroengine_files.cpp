// Macro files and the edits of single events.
#include "logline.h"
#include "macroengine.h"
#include "macrofiles.h"
#include "mainqueue.h"
#include "timelineedits.h"

namespace loopwren {

bool MacroEngine::saveMacro(const QString& path)
{
    const QString error = macrofiles::save(path, m_recordedEvents);
    if (error.isEmpty())
        return true;
    logLine(QStringLiteral("Failed to save macro: "), error);
    return false;
}

bool MacroEngine::loadMacro(const QString& path)
{
    MacroReadResult result = macrofiles::load(path);
    if (!result.ok()) {
        logLine(QStringLiteral("Failed to load macro: "), QString::fromStdString(result.error));
        return false;
    }
    auto events = std::make_shared<Timeline>(std::move(result.events));
    mainqueue::postAfterModal(this, [this, events] {
        setRecordedEvents(std::move(*events));
        setCurrentPlaybackIndex(-1);
    });
    return true;
}

void MacroEngine::editTimeline(std::function<void(Timeline&)> edit)
{
    mainqueue::postAfterModal(this, [this, edit = std::move(edit)] {
        edit(m_recordedEvents);
        emit recordedEventsReset();
        emit recordedEventsChanged();
    });
}

void MacroEngine::updateEvent(const MacroEvent& event)
{
    editTimeline([event](Timeline& events) { timelineedits::updateEvent(events, event); });
}

void MacroEngine::deleteEvent(const Uuid& id)
{
    editTimeline([id](Timeline& events) { timelineedits::deleteEvent(events, id); });
}

void MacroEngine::duplicateEvent(const Uuid& id)
{
    editTimeline([id](Timeline& events) { timelineedits::duplicateEvent(events, id); });
}

void MacroEngine::moveEvent(const Uuid& id, std::ptrdiff_t offset)
{
    editTimeline([id, offset](Timeline& events) { timelineedits::moveEvent(events, id, offset); });
}

void MacroEngine::insertWait(const std::optional<Uuid>& after)
{
    editTimeline([after](Timeline& events) { timelineedits::insertWait(events, after); });
}

void MacroEngine::moveEvents(const std::set<std::size_t>& positions, std::size_t destination)
{
    editTimeline([positions, destination](Timeline& events) {
        timelineedits::moveEvents(events, positions, destination);
    });
}

} // namespace loopwren
