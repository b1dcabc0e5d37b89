#include "eventeditor.h"

#include "dialogs.h"
#include "eventrowtext.h"
#include "eventtext.h"
#include "macroengine.h"
#include "texttable.h"
#include "timelinemodel.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace loopwren {

EventEditor::EventEditor(MacroEngine& engine, TimelineModel& timeline, Dialogs& dialogs, QObject* parent)
    : QObject(parent), m_engine(engine), m_timeline(timeline), m_dialogs(dialogs)
{
    connect(&m_engine, &MacroEngine::languageChanged, this, &EventEditor::typeNameChanged);
    connect(&m_engine, &MacroEngine::recordedEventsChanged, this, &EventEditor::positionChanged);
    connect(this, &EventEditor::selectionChanged, this, &EventEditor::typeNameChanged);
    connect(this, &EventEditor::selectionChanged, this, &EventEditor::positionChanged);
}

QString EventEditor::typeSymbol() const
{
    return m_selectedEvent ? rowtext::symbolName(m_selectedEvent->type) : QString();
}

QString EventEditor::typeName() const
{
    return m_selectedEvent ? rowtext::editorTypeName(m_selectedEvent->type) : QString();
}

// Each setter runs the write-back once per actual change, as a value binding's change observer would.
void EventEditor::setEditDelay(double value)
{
    if (value == m_editDelay)
        return;
    m_editDelay = value;
    emit editDelayChanged();
    applyEdits();
}

void EventEditor::setEditX(double value)
{
    if (value == m_editX)
        return;
    m_editX = value;
    emit editXChanged();
    applyEdits();
}

void EventEditor::setEditY(double value)
{
    if (value == m_editY)
        return;
    m_editY = value;
    emit editYChanged();
    applyEdits();
}

void EventEditor::setEditKeyCode(int value)
{
    value = std::clamp(value, 0, static_cast<int>(std::numeric_limits<std::uint16_t>::max()));
    if (value == m_editKeyCode)
        return;
    m_editKeyCode = value;
    emit editKeyCodeChanged();
    applyEdits();
}

void EventEditor::setEditMouseButton(int value)
{
    const auto button = static_cast<MouseButtonType>(std::clamp(value, 0, 2));
    if (button == m_editMouseButton)
        return;
    m_editMouseButton = button;
    emit editMouseButtonChanged();
    applyEdits();
}

QString EventEditor::delayText() const { return rowtext::delayField(m_editDelay); }
QString EventEditor::xText() const { return rowtext::wholeField(m_editX); }
QString EventEditor::yText() const { return rowtext::wholeField(m_editY); }
QString EventEditor::keyCodeText() const { return QString::number(m_editKeyCode); }
QString EventEditor::keyNameText() const
{
    return QString::fromStdString(keyName(static_cast<std::uint16_t>(m_editKeyCode)));
}

bool EventEditor::canMoveUp() const
{
    const Timeline& events = m_engine.recordedEvents();
    return m_selectedEvent && !events.empty() && events.front().id != m_selectedEvent->id;
}

bool EventEditor::canMoveDown() const
{
    const Timeline& events = m_engine.recordedEvents();
    return m_selectedEvent && !events.empty() && events.back().id != m_selectedEvent->id;
}

void EventEditor::selectEvent(const MacroEvent& event)
{
    commitTypedText();
    // The values below change as the event is shown, not as the user edits: no write-back for them.
    const Populating populating(*this);
    setSelectedEvent(event);
    // Fields the event lacks keep the values of the event selected before.
    setEditDelay(event.delaySincePrevious);
    if (event.location) {
        setEditX(event.location->x);
        setEditY(event.location->y);
    }
    if (event.mouseButton)
        setEditMouseButton(static_cast<int>(*event.mouseButton));
    if (event.keyCode)
        setEditKeyCode(*event.keyCode);
}

void EventEditor::clearSelection()
{
    commitTypedText();
    setSelectedEvent(std::nullopt);
}

void EventEditor::noteTypedText(Field field, const QString& text) { m_typedText[field] = text; }

bool EventEditor::commitTypedText()
{
    const std::map<Field, QString> typed = std::exchange(m_typedText, {});
    for (const auto& [field, text] : typed) {
        switch (field) {
        case DelayField:
            commitDelayText(text);
            break;
        case XField:
            commitXText(text);
            break;
        case YField:
            commitYText(text);
            break;
        case KeyCodeField:
            commitKeyCodeText(text);
            break;
        }
    }
    return !typed.empty();
}

bool EventEditor::commitDelayText(const QString& text)
{
    m_typedText.erase(DelayField);
    if (isShownUnchanged(text, delayText()))
        return true;
    const std::optional<double> value = rowtext::parseDelayField(text);
    if (value)
        setEditDelay(*value);
    else
        emit editDelayChanged(); // puts the last good value back into the field
    return value.has_value();
}

bool EventEditor::commitXText(const QString& text)
{
    m_typedText.erase(XField);
    if (isShownUnchanged(text, xText()))
        return true;
    const std::optional<qint64> value = rowtext::parseWholeField(text);
    if (value)
        setEditX(static_cast<double>(*value));
    else
        emit editXChanged();
    return value.has_value();
}

bool EventEditor::commitYText(const QString& text)
{
    m_typedText.erase(YField);
    if (isShownUnchanged(text, yText()))
        return true;
    const std::optional<qint64> value = rowtext::parseWholeField(text);
    if (value)
        setEditY(static_cast<double>(*value));
    else
        emit editYChanged();
    return value.has_value();
}

bool EventEditor::commitKeyCodeText(const QString& text)
{
    m_typedText.erase(KeyCodeField);
    if (isShownUnchanged(text, keyCodeText()))
        return true;
    const std::optional<qint64> value = rowtext::parseWholeField(text);
    const bool fits = value && *value >= 0 && *value <= std::numeric_limits<std::uint16_t>::max();
    if (fits)
        setEditKeyCode(static_cast<int>(*value));
    else
        emit editKeyCodeChanged();
    return fits;
}

bool EventEditor::isShownUnchanged(const QString& text, const QString& shown)
{
    // The field shows a rounded value (three decimals, whole coordinates); handing that text back,
    // as leaving the field does, would round the event though the user changed nothing.
    return text.trimmed() == shown;
}

void EventEditor::stepDelay(int direction)
{
    if (direction == 0)
        return;
    const double stepped = m_editDelay + (direction > 0 ? kDelayStep : -kDelayStep);
    setEditDelay(std::clamp(stepped, kDelayMinimum, kDelayMaximum));
}

void EventEditor::copy()
{
    if (!m_selectedEvent)
        return;
    // Queued in front of the copy, so the copy carries what was typed.
    commitTypedText();
    m_engine.duplicateEvent(m_selectedEvent->id);
}

void EventEditor::remove()
{
    if (!m_selectedEvent)
        return;
    if (m_engine.showDeleteConfirmation()) {
        const QString language = m_engine.language();
        const auto text = [&language](const char* key) {
            return TextTable::localized(QString::fromUtf8(key), language);
        };
        const int answer = m_dialogs.runMessageDialog({text("Confirm Delete"),
                                                       text("Are you sure you want to delete this action?"),
                                                       {text("Delete"), text("Cancel")}});
        // The dialog ran its own event loop: the selection may have gone meanwhile.
        if (answer != 0 || !m_selectedEvent)
            return;
    }
    m_engine.deleteEvent(m_selectedEvent->id);
    clearSelection();
}

void EventEditor::moveUp()
{
    if (m_selectedEvent)
        m_engine.moveEvent(m_selectedEvent->id, -1);
}

void EventEditor::moveDown()
{
    if (m_selectedEvent)
        m_engine.moveEvent(m_selectedEvent->id, +1);
}

void EventEditor::applyEdits()
{
    if (!m_selectedEvent || m_isPopulating)
        return;
    MacroEvent copy = *m_selectedEvent;
    copy.delaySincePrevious = m_editDelay;
    if (copy.location)
        copy.location = Point{m_editX, m_editY};
    if (copy.mouseButton)
        copy.mouseButton = m_editMouseButton;
    if (copy.keyCode)
        copy.keyCode = static_cast<std::uint16_t>(m_editKeyCode);
    m_engine.updateEvent(copy);
    m_editsHandedOver = true;
    // Same id, so neither the row highlight nor the sections change.
    m_selectedEvent = std::move(copy);
}

void EventEditor::setSelectedEvent(std::optional<MacroEvent> event)
{
    m_selectedEvent = std::move(event);
    m_timeline.setSelectedId(m_selectedEvent ? std::optional<Uuid>(m_selectedEvent->id) : std::nullopt);
    emit selectionChanged();
}

void EventEditor::setIsPopulating(bool value)
{
    m_isPopulating = value;
    emit isPopulatingChanged();
}

} // namespace loopwren
