#pragma once

#include "macroevent.h"

#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>
#include <map>
#include <optional>
#include <utility>

namespace loopwren {

class Dialogs;
class MacroEngine;
class TimelineModel;

// The event editor's state: the selected event and its edit values. Every change of an edit value is
// written back into the timeline at once, except while the values are being filled from a newly
// selected event (isPopulating, for the length of that filling), which would otherwise write one
// event's values into another.
class EventEditor : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The editor belongs to the window")
    Q_PROPERTY(bool hasSelection READ hasSelection NOTIFY selectionChanged)
    Q_PROPERTY(bool hasLocation READ hasLocation NOTIFY selectionChanged)
    Q_PROPERTY(bool hasMouseButton READ hasMouseButton NOTIFY selectionChanged)
    Q_PROPERTY(bool hasKeyCode READ hasKeyCode NOTIFY selectionChanged)
    Q_PROPERTY(QString typeSymbol READ typeSymbol NOTIFY selectionChanged)
    Q_PROPERTY(QString typeName READ typeName NOTIFY typeNameChanged)
    Q_PROPERTY(double editDelay READ editDelay WRITE setEditDelay NOTIFY editDelayChanged)
    Q_PROPERTY(double editX READ editX WRITE setEditX NOTIFY editXChanged)
    Q_PROPERTY(double editY READ editY WRITE setEditY NOTIFY editYChanged)
    Q_PROPERTY(int editKeyCode READ editKeyCode WRITE setEditKeyCode NOTIFY editKeyCodeChanged)
    // 0 left, 1 right, 2 other, the order of the segments.
    Q_PROPERTY(
        int editMouseButton READ editMouseButton WRITE setEditMouseButton NOTIFY editMouseButtonChanged)
    Q_PROPERTY(bool isPopulating READ isPopulating NOTIFY isPopulatingChanged)
    Q_PROPERTY(QString delayText READ delayText NOTIFY editDelayChanged)
    Q_PROPERTY(QString xText READ xText NOTIFY editXChanged)
    Q_PROPERTY(QString yText READ yText NOTIFY editYChanged)
    Q_PROPERTY(QString keyCodeText READ keyCodeText NOTIFY editKeyCodeChanged)
    Q_PROPERTY(QString keyNameText READ keyNameText NOTIFY editKeyCodeChanged)
    Q_PROPERTY(bool canMoveUp READ canMoveUp NOTIFY positionChanged)
    Q_PROPERTY(bool canMoveDown READ canMoveDown NOTIFY positionChanged)

public:
    // The editor's text fields.
    enum Field
    {
        DelayField,
        XField,
        YField,
        KeyCodeField
    };
    Q_ENUM(Field)

    static constexpr double kDelayMinimum = 0.0;
    static constexpr double kDelayMaximum = 9999.0;
    static constexpr double kDelayStep = 0.1;

    EventEditor(MacroEngine& engine, TimelineModel& timeline, Dialogs& dialogs, QObject* parent = nullptr);

    const std::optional<MacroEvent>& selectedEvent() const { return m_selectedEvent; }
    bool hasSelection() const { return m_selectedEvent.has_value(); }
    bool hasLocation() const { return m_selectedEvent && m_selectedEvent->location; }
    bool hasMouseButton() const { return m_selectedEvent && m_selectedEvent->mouseButton; }
    bool hasKeyCode() const { return m_selectedEvent && m_selectedEvent->keyCode; }
    QString typeSymbol() const;
    QString typeName() const;

    double editDelay() const { return m_editDelay; }
    double editX() const { return m_editX; }
    double editY() const { return m_editY; }
    int editKeyCode() const { return m_editKeyCode; }
    int editMouseButton() const { return static_cast<int>(m_editMouseButton); }
    bool isPopulating() const { return m_isPopulating; }
    void setEditDelay(double value);
    void setEditX(double value);
    void setEditY(double value);
    void setEditKeyCode(int value);
    void setEditMouseButton(int value);

    QString delayText() const;
    QString xText() const;
    QString yText() const;
    QString keyCodeText() const;
    QString keyNameText() const;
    bool canMoveUp() const;
    bool canMoveDown() const;

    // Opens the editor on the event (the row-tap action once the run state allows it).
    void selectEvent(const MacroEvent& event);
    void clearSelection();

    // The fields' hand-over of typed text; text that is not a number is refused and nothing changes.
    Q_INVOKABLE bool commitDelayText(const QString& text);
    Q_INVOKABLE bool commitXText(const QString& text);
    Q_INVOKABLE bool commitYText(const QString& text);
    Q_INVOKABLE bool commitKeyCodeText(const QString& text);
    // Text typed into a field and not yet handed over (no Enter or Tab yet). It belongs to the event it
    // was typed for: it is handed over before the editor shows another event or closes.
    Q_INVOKABLE void noteTypedText(Field field, const QString& text);
    // Hands over what was typed and not yet handed over; true when there was any.
    bool commitTypedText();
    // True when an edit has been handed to the engine since the last call (typed text handed over, a
    // field the user left, a step): it may not have landed yet, as edits are queued like every change
    // of the timeline.
    bool takeHandedOverEdits() { return std::exchange(m_editsHandedOver, false); }
    // The stepper: one step of 0.1 up (+1) or down (-1), kept within 0 to 9999.
    Q_INVOKABLE void stepDelay(int direction);

    Q_INVOKABLE void copy();
    Q_INVOKABLE void remove();
    Q_INVOKABLE void moveUp();
    Q_INVOKABLE void moveDown();
    Q_INVOKABLE void close() { clearSelection(); }

signals:
    void selectionChanged();
    void typeNameChanged();
    void editDelayChanged();
    void editXChanged();
    void editYChanged();
    void editKeyCodeChanged();
    void editMouseButtonChanged();
    void isPopulatingChanged();
    void positionChanged();

private:
    // Marks the filling of a newly selected event for as long as it lives, and no longer. A flag held
    // for a while after the filling (until the next redraw, say) is what a view needs whose write-back
    // runs later than the change that causes it. Here nothing of the filling can arrive later: every
    // change of an edit value writes back at once, from its setter, and the fields hand text over
    // only on the user's Enter, Tab or leaving the field, never for a value set from here, and text
    // they show unchanged is no edit (isShownUnchanged). A flag that outlived the filling would only
    // swallow the user's first real edit when it came quickly, as a keyboard user's may.
    class Populating
    {
    public:
        explicit Populating(EventEditor& editor) : m_editor(editor) { m_editor.setIsPopulating(true); }
        ~Populating() { m_editor.setIsPopulating(false); }
        Populating(const Populating&) = delete;
        Populating& operator=(const Populating&) = delete;

    private:
        EventEditor& m_editor;
    };

    static bool isShownUnchanged(const QString& text, const QString& shown);
    void applyEdits();
    void setSelectedEvent(std::optional<MacroEvent> event);
    void setIsPopulating(bool value);

    MacroEngine& m_engine;
    TimelineModel& m_timeline;
    Dialogs& m_dialogs;
    std::optional<MacroEvent> m_selectedEvent;
    double m_editDelay = 0.0;
    double m_editX = 0.0;
    double m_editY = 0.0;
    int m_editKeyCode = 0;
    MouseButtonType m_editMouseButton = MouseButtonType::left;
    bool m_isPopulating = false;
    std::map<Field, QString> m_typedText;
    bool m_editsHandedOver = false;
};

} // namespace loopwren
