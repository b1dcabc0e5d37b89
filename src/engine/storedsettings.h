#pragma once

#include "hotkey.h"
#include "preferencesstore.h"

#include <QString>
#include <functional>
#include <optional>
#include <variant>
#include <vector>

namespace loopwren {

// The settings kept in the user's preferences store, one row each, in the order of loading:
//   X(name, Name, Type, key, fallback, rule, access)
// name    the setting, the engine's property of that name and its notification nameChanged
// Name    the same capitalised, for the engine's setter setName
// Type    the value's type
// key     where the store keeps it (a stored name: it never changes)
// fallback the value where the stored one is absent or unusable
// rule    how a stored value is read and the range it is kept within (storedsettings.cpp)
// access  the engine's accessors made from the row: readWrite both, read the getter (the setter is the
//         engine's own), none neither
// Loading, writing, the engine's accessors and its notifications follow from the row; the engine's
// Q_PROPERTY line and its signal are spelled out beside them, as moc reads only what is written.
#define LOOPWREN_STORED_SETTINGS(X)                                                                          \
    X(recordHotkey, RecordHotkey, Hotkey, "recordHotkey", Hotkey::unset(), hotkeyBut100, readWrite)          \
    X(playbackHotkey, PlaybackHotkey, Hotkey, "playbackHotkey", Hotkey::unset(), hotkeyBut101, readWrite)    \
    X(targetAppName, TargetAppName, QString, "targetAppName", QString(), text, readWrite)                    \
    X(focusTargetAppBeforePlayback, FocusTargetAppBeforePlayback, bool, "focusTargetAppBeforePlayback",      \
      false, flag, readWrite)                                                                                \
    X(setTargetWindowPosition, SetTargetWindowPosition, bool, "setTargetWindowPosition", false, flag,        \
      readWrite)                                                                                             \
    X(setTargetWindowSize, SetTargetWindowSize, bool, "setTargetWindowSize", false, flag, readWrite)         \
    X(language, Language, QString, "appLanguage", QStringLiteral("English"), text, readWrite)                \
    X(showDeleteConfirmation, ShowDeleteConfirmation, bool, "showDeleteConfirmation", true, flag, readWrite) \
    X(hideWhenRecording, HideWhenRecording, bool, "hideWhenRecording", false, flag, readWrite)               \
    X(hideOnPlayback, HideOnPlayback, bool, "hideOnPlayback", false, flag, readWrite)                        \
    X(showCloseSavePrompt, ShowCloseSavePrompt, bool, "showCloseSavePrompt", true, flag, readWrite)          \
    X(targetWindowX, TargetWindowX, double, "targetWindowX", 0.0, number, readWrite)                         \
    X(targetWindowY, TargetWindowY, double, "targetWindowY", 0.0, number, readWrite)                         \
    X(targetWindowWidth, TargetWindowWidth, double, "targetWindowWidth", 800.0, length, readWrite)           \
    X(targetWindowHeight, TargetWindowHeight, double, "targetWindowHeight", 600.0, length, readWrite)        \
    /* In percent, 0 to 100. */                                                                              \
    X(delayVariation, DelayVariation, double, "delayVariation", 0.0, percent, readWrite)                     \
    /* In seconds; the minimum never exceeds the maximum once assigned. */                                   \
    X(passPauseMinimum, PassPauseMinimum, double, "passPauseMinimum", 0.0, passPause, read)                  \
    X(passPauseMaximum, PassPauseMaximum, double, "passPauseMaximum", 0.0, passPause, read)                  \
    /* In points, 0 to 50. */                                                                                \
    X(clickSpread, ClickSpread, double, "clickSpread", 0.0, spread, readWrite)                               \
    X(stopPlaybackOnUserInput, StopPlaybackOnUserInput, bool, "stopPlaybackOnUserInput", false, flag,        \
      readWrite)                                                                                             \
    /* The paths as a JSON array of strings, the newest first. */                                            \
    X(recentFiles, RecentFiles, QString, "recentFiles", QStringLiteral("[]"), text, none)

// The table above at work: every assignment is written at once, also of an unchanged value, and only
// then announced. The two hotkeys are written together whenever either is assigned.
class StoredSettings
{
public:
#define LOOPWREN_SETTING_ENUMERATOR(name, ...) name,
    enum class Setting
    {
        LOOPWREN_STORED_SETTINGS(LOOPWREN_SETTING_ENUMERATOR)
    };
#undef LOOPWREN_SETTING_ENUMERATOR
    using Value = std::variant<bool, double, QString, Hotkey>;
    using Changed = std::function<void(Setting)>;

    StoredSettings(PreferencesStore& store, Changed changed);

    // Reads every setting, falling back to its default where the stored value is absent or unusable,
    // and assigns it in the table's order, which writes it back. All are read before any is assigned.
    void load();

    const Value& value(Setting setting) const { return m_values[static_cast<std::size_t>(setting)]; }
    template <typename T>
    const T& get(Setting setting) const
    {
        return std::get<T>(value(setting));
    }
    void set(Setting setting, Value value);
    // The range a number setting is kept within, on reading and on assignment; none for the others.
    static std::optional<std::pair<double, double>> range(Setting setting);

    // The table's rows, for whoever goes through all of them.
    static std::vector<Setting> all();
    static const char* name(Setting setting);
    static const char* key(Setting setting);
    static Value fallback(Setting setting);

private:
    void write(Setting setting);

    PreferencesStore& m_store;
    Changed m_changed;
    std::vector<Value> m_values;
};

} // namespace loopwren
