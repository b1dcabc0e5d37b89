#pragma once

#include "hotkey.h"
#include "preferencesstore.h"

#include <QString>
#include <functional>
#include <optional>
#include <variant>
#include <vector>

namespace loopwren {

// The settings kept in the user's preferences store, as one table: each has its key, its default and
// how a stored value is read. Loading, writing and telling observers all follow from the table, so a
// new setting is one line of it (and its property on the engine).
//
// Every assignment is written at once, also of an unchanged value, and only then announced. The two
// hotkeys are written together whenever either is assigned.
class StoredSettings
{
public:
    enum class Setting
    {
        recordHotkey,
        playbackHotkey,
        targetAppName,
        focusTargetAppBeforePlayback,
        setTargetWindowPosition,
        setTargetWindowSize,
        language,
        showDeleteConfirmation,
        hideWhenRecording,
        hideOnPlayback,
        showCloseSavePrompt,
        targetWindowX,
        targetWindowY,
        targetWindowWidth,
        targetWindowHeight,
        delayVariation,
        passPauseMinimum,
        passPauseMaximum,
        clickSpread,
        stopPlaybackOnUserInput,
        recentFiles, // the paths as a JSON array of strings, the newest first
    };
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

private:
    void write(Setting setting);

    PreferencesStore& m_store;
    Changed m_changed;
    std::vector<Value> m_values;
};

} // namespace loopwren
