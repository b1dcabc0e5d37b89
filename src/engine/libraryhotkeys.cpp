#include "libraryhotkeys.h"

#include "eventtext.h"
#include "logline.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <algorithm>

namespace loopwren {
namespace {

Hotkey combination(const Hotkey& hotkey) { return {hotkey.keyCode, hotkey.modifiers & modifier::hotkeyMask}; }

bool isSet(const Hotkey& hotkey) { return hotkey.keyCode != Hotkey::unsetKeyCode; }

} // namespace

LibraryHotkeys::LibraryHotkeys(HotkeyService& service, Pressed pressed)
    : m_service(service), m_pressed(std::move(pressed))
{
}

LibraryHotkeys::~LibraryHotkeys() { unbind(); }

void LibraryHotkeys::setEntries(const std::vector<LibraryEntry>& entries)
{
    m_entries.clear();
    for (const LibraryEntry& entry : entries) {
        LibraryEntry kept;
        kept.file = entry.file;
        kept.name = entry.name;
        kept.hotkey = entry.hotkey;
        m_entries.push_back(std::move(kept));
    }
    if (m_active)
        bind(m_record, m_playback);
}

void LibraryHotkeys::bind(const Hotkey& record, const Hotkey& playback)
{
    unbind();
    m_record = record;
    m_playback = playback;
    m_active = true;
    bindEntries();
}

void LibraryHotkeys::unbind()
{
    m_active = false;
    for (const HotkeyService::Binding binding : std::exchange(m_bindings, {}))
        m_service.unbind(binding);
}

void LibraryHotkeys::bindEntries()
{
    m_refusals.clear();
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        const LibraryEntry& entry = m_entries[i];
        if (!isSet(entry.hotkey))
            continue;
        const QString prefix = QStringLiteral("Failed to register hotkey of macro %1: ").arg(entry.name);
        // The engine's hotkeys and the macros before this one were bound first and keep the combination.
        std::optional<User> user = userOf(entry.hotkey, entry.name);
        if (user && user->role == std::nullopt) {
            const auto owner = std::find_if(m_entries.begin(), m_entries.end(), [&](const LibraryEntry& e) {
                return e.name.compare(user->macro, Qt::CaseInsensitive) == 0;
            });
            if (owner - m_entries.begin() > static_cast<std::ptrdiff_t>(i))
                user.reset();
        }
        if (user) {
            m_refusals[entry.name] = takenText(entry.hotkey, *user);
            logLine(prefix, m_refusals[entry.name]);
            continue;
        }
        HotkeyService::Binding binding = 0;
        const ServiceResult result = m_service.bind(
            {hotkeyId(entry), QStringLiteral("Play or stop the macro %1").arg(entry.name)}, entry.hotkey,
            [this, name = entry.name] { m_pressed(name); }, binding);
        if (result.ok()) {
            m_bindings.push_back(binding);
        } else {
            m_refusals[entry.name] = result.reason;
            logLine(prefix, QString::number(result.code));
        }
    }
}

std::optional<LibraryHotkeys::User> LibraryHotkeys::userOf(const Hotkey& hotkey, const QString& macro) const
{
    if (!isSet(hotkey))
        return std::nullopt;
    const Hotkey wanted = combination(hotkey);
    if (combination(m_record) == wanted)
        return User{EngineHotkeyRole::record, {}};
    if (combination(m_playback) == wanted)
        return User{EngineHotkeyRole::playback, {}};
    for (const LibraryEntry& entry : m_entries) {
        if (combination(entry.hotkey) == wanted && entry.name.compare(macro, Qt::CaseInsensitive) != 0)
            return User{std::nullopt, entry.name};
    }
    return std::nullopt;
}

QString LibraryHotkeys::takenText(const Hotkey& hotkey, const User& user)
{
    const QString keys = QString::fromStdString(displayText(hotkey));
    if (!user.role)
        return QStringLiteral("%1 is already the hotkey of macro %2").arg(keys, user.macro);
    return QStringLiteral("%1 is already the %2 hotkey")
        .arg(keys,
             *user.role == EngineHotkeyRole::record ? QStringLiteral("record") : QStringLiteral("playback"));
}

QString LibraryHotkeys::refusal(const QString& macro) const
{
    const LibraryEntry* entry = entryNamed(macro);
    const auto found = entry ? m_refusals.find(entry->name) : m_refusals.end();
    return found == m_refusals.end() ? QString() : found->second;
}

std::optional<QString> LibraryHotkeys::desktopTrigger(const QString& macro) const
{
    const LibraryEntry* entry = entryNamed(macro);
    return entry ? m_service.desktopTrigger(hotkeyId(*entry)) : std::nullopt;
}

bool LibraryHotkeys::isHotkeyKey(std::uint16_t keyCode) const
{
    return keyCode != Hotkey::unsetKeyCode &&
           std::any_of(m_entries.begin(), m_entries.end(),
                       [keyCode](const LibraryEntry& entry) { return entry.hotkey.keyCode == keyCode; });
}

std::vector<std::uint16_t> LibraryHotkeys::hotkeyKeys() const
{
    std::vector<std::uint16_t> keys;
    for (const LibraryEntry& entry : m_entries) {
        if (isSet(entry.hotkey))
            keys.push_back(entry.hotkey.keyCode);
    }
    return keys;
}

QString LibraryHotkeys::hotkeyId(const LibraryEntry& entry)
{
    const QString stem = QFileInfo(entry.file).completeBaseName();
    QString safe;
    for (const QChar c : stem)
        safe += (c.isLetterOrNumber() && c.unicode() < 128) || c == QLatin1Char('-') ? c : QLatin1Char('_');
    if (safe == stem)
        return QStringLiteral("macro-") + stem;
    // A file named by hand may hold any character: two such names that read alike stay two ids.
    const QByteArray hash =
        QCryptographicHash::hash(entry.file.toUtf8(), QCryptographicHash::Sha1).toHex().left(8);
    return QStringLiteral("macro-%1-%2").arg(safe, QString::fromLatin1(hash));
}

const LibraryEntry* LibraryHotkeys::entryNamed(const QString& macro) const
{
    const auto found = std::find_if(m_entries.begin(), m_entries.end(), [&](const LibraryEntry& entry) {
        return entry.name.compare(macro, Qt::CaseInsensitive) == 0;
    });
    return found == m_entries.end() ? nullptr : &*found;
}

} // namespace loopwren
