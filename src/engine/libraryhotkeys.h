#pragma once

#include "hotkey.h"
#include "hotkeyservice.h"
#include "libraryentry.h"

#include <QString>
#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace loopwren {

// The hotkeys of the library's macros, bound through the same service as the record and playback
// hotkeys, each under an id of its macro's own that survives renames and restarts. One combination
// stands for one LoopWren hotkey only: a macro's hotkey that the record or playback hotkey or an
// earlier macro already uses is refused with a line saying which, and one the desktop refuses is
// logged; either way the other macros keep theirs.
class LibraryHotkeys
{
public:
    using Pressed = std::function<void(const QString& name)>;

    // Which LoopWren hotkey uses a combination: one of the two engine hotkeys, else the named macro.
    struct User
    {
        std::optional<EngineHotkeyRole> role;
        QString macro;
    };

    // pressed runs on the main thread, in the service's callback, with the name of the macro whose
    // hotkey was pressed.
    LibraryHotkeys(HotkeyService& service, Pressed pressed);
    ~LibraryHotkeys();
    LibraryHotkeys(const LibraryHotkeys&) = delete;
    LibraryHotkeys& operator=(const LibraryHotkeys&) = delete;

    // The macros whose hotkeys count (only file, name and hotkey are read); bound at once unless the
    // hotkeys are released.
    void setEntries(const std::vector<LibraryEntry>& entries);
    // Binds every macro's hotkey beside the engine's two, releasing what was bound before.
    void bind(const Hotkey& record, const Hotkey& playback);
    // Releases them all, as while a hotkey is captured; the next bind binds them again.
    void unbind();

    // Which LoopWren hotkey other than the macro's own already uses the combination, if any: the
    // check before a macro is given it. Only the four modifiers count; the unset hotkey is nobody's.
    std::optional<User> userOf(const Hotkey& hotkey, const QString& macro = {}) const;
    // "⌃ ⇧ 1 is already the playback hotkey", "… the hotkey of macro NAME".
    static QString takenText(const Hotkey& hotkey, const User& user);
    // Why the macro's hotkey is not bound now; empty when it is, or when it has none.
    QString refusal(const QString& macro) const;
    // The keys the desktop put on the macro's hotkey, as HotkeyService::desktopTrigger says.
    std::optional<QString> desktopTrigger(const QString& macro) const;
    // Whether a key code is that of a macro's hotkey: its presses are never recorded.
    bool isHotkeyKey(std::uint16_t keyCode) const;
    std::vector<std::uint16_t> hotkeyKeys() const;

    // The desktop's id for a macro's shortcut, from its file name, which never changes.
    static QString hotkeyId(const LibraryEntry& entry);

private:
    const LibraryEntry* entryNamed(const QString& macro) const;
    void bindEntries();

    HotkeyService& m_service;
    Pressed m_pressed;
    std::vector<LibraryEntry> m_entries;
    Hotkey m_record = Hotkey::unset();
    Hotkey m_playback = Hotkey::unset();
    bool m_active = false;
    std::vector<HotkeyService::Binding> m_bindings;
    std::map<QString, QString> m_refusals;
};

} // namespace loopwren
