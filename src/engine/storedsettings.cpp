#include "storedsettings.h"

#include <algorithm>
#include <cmath>

namespace loopwren {
namespace {

using Setting = StoredSettings::Setting;
using Value = StoredSettings::Value;
using Reader = std::optional<Value> (*)(const PreferencesStore&, const QString&);

// A stored value as the store reads it, or nothing when it is absent or unreadable.
template <auto read>
std::optional<Value> readAs(const PreferencesStore& store, const QString& key)
{
    if (const auto value = (store.*read)(key))
        return *value;
    return std::nullopt;
}

constexpr Reader readBool = readAs<&PreferencesStore::readBool>;
constexpr Reader readDouble = readAs<&PreferencesStore::readDouble>;

// A window cannot be 0 or less wide or high: such a stored size counts as absent.
std::optional<Value> readLength(const PreferencesStore& store, const QString& key)
{
    if (const auto value = store.readDouble(key); value && *value > 0)
        return *value;
    return std::nullopt;
}

// A number kept within its range: a stored value outside it is brought to the nearest end, one that is
// not a number counts as absent.
template <int lowest, int highest>
std::optional<Value> readWithin(const PreferencesStore& store, const QString& key)
{
    if (const auto value = store.readDouble(key); value && std::isfinite(*value))
        return std::clamp(*value, double(lowest), double(highest));
    return std::nullopt;
}

constexpr int kLongestPassPause = 3600;

constexpr Reader readString = readAs<&PreferencesStore::readString>;

std::optional<Hotkey> decodeStored(const PreferencesStore& store, const QString& key)
{
    const std::optional<QByteArray> bytes = store.readBytes(key);
    if (!bytes)
        return std::nullopt;
    return decodeHotkey(std::string_view(bytes->constData(), static_cast<std::size_t>(bytes->size())));
}

// Older versions stored these key codes as the defaults of their own slot; they never were the
// user's choice.
template <std::uint16_t discardedKeyCode>
std::optional<Value> readHotkey(const PreferencesStore& store, const QString& key)
{
    const std::optional<Hotkey> hotkey = decodeStored(store, key);
    if (!hotkey || hotkey->keyCode == discardedKeyCode)
        return std::nullopt;
    return *hotkey;
}

// How a stored value is read, and the range a number is kept within on reading and on assignment.
struct Rule
{
    Reader read;
    std::optional<std::pair<double, double>> range = std::nullopt;
};

constexpr Rule flag{readBool};
constexpr Rule number{readDouble};
constexpr Rule length{readLength};
constexpr Rule text{readString};
constexpr Rule percent{readWithin<0, 100>, {{0.0, 100.0}}};
constexpr Rule passPause{readWithin<0, kLongestPassPause>, {{0.0, kLongestPassPause}}};
constexpr Rule spread{readWithin<0, 50>, {{0.0, 50.0}}};
constexpr Rule hotkeyBut100{readHotkey<100>};
constexpr Rule hotkeyBut101{readHotkey<101>};

struct Entry
{
    const char* name;
    const char* key;
    Value fallback;
    Rule rule;
};

// Indexed by Setting, as both come from the same rows.
const std::vector<Entry>& table()
{
#define LOOPWREN_SETTING_ENTRY(name, Name, Type, key, fallback, rule, access)                                \
    {#name, key, Type(fallback), rule},
    static const std::vector<Entry> entries{LOOPWREN_STORED_SETTINGS(LOOPWREN_SETTING_ENTRY)};
#undef LOOPWREN_SETTING_ENTRY
    return entries;
}

const Entry& entryOf(Setting setting) { return table()[static_cast<std::size_t>(setting)]; }

} // namespace

StoredSettings::StoredSettings(PreferencesStore& store, Changed changed)
    : m_store(store), m_changed(std::move(changed))
{
    for (const Entry& entry : table())
        m_values.push_back(entry.fallback);
}

void StoredSettings::load()
{
    std::vector<Value> loaded;
    for (const Entry& entry : table())
        loaded.push_back(entry.rule.read(m_store, QString::fromLatin1(entry.key)).value_or(entry.fallback));
    for (std::size_t i = 0; i < loaded.size(); ++i)
        set(static_cast<Setting>(i), std::move(loaded[i]));
}

std::optional<std::pair<double, double>> StoredSettings::range(Setting setting)
{
    return entryOf(setting).rule.range;
}

std::vector<StoredSettings::Setting> StoredSettings::all()
{
    std::vector<Setting> settings;
    for (std::size_t i = 0; i < table().size(); ++i)
        settings.push_back(static_cast<Setting>(i));
    return settings;
}

const char* StoredSettings::name(Setting setting) { return entryOf(setting).name; }
const char* StoredSettings::key(Setting setting) { return entryOf(setting).key; }
StoredSettings::Value StoredSettings::fallback(Setting setting) { return entryOf(setting).fallback; }

void StoredSettings::set(Setting setting, Value value)
{
    if (const auto limits = range(setting); limits && std::holds_alternative<double>(value)) {
        const double number = std::get<double>(value);
        value = std::isfinite(number) ? std::clamp(number, limits->first, limits->second) : limits->first;
    }
    m_values[static_cast<std::size_t>(setting)] = std::move(value);
    if (setting == Setting::recordHotkey || setting == Setting::playbackHotkey) {
        write(Setting::recordHotkey);
        write(Setting::playbackHotkey);
    } else {
        write(setting);
    }
    if (m_changed)
        m_changed(setting);
}

void StoredSettings::write(Setting setting)
{
    const QString key = QString::fromLatin1(entryOf(setting).key);
    std::visit(
        [&](const auto& value) {
            using T = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<T, bool>)
                m_store.writeBool(key, value);
            else if constexpr (std::is_same_v<T, double>)
                m_store.writeDouble(key, value);
            else if constexpr (std::is_same_v<T, QString>)
                m_store.writeString(key, value);
            else
                m_store.writeBytes(key, QByteArray::fromStdString(encodeHotkey(value)));
        },
        this->value(setting));
}

} // namespace loopwren
