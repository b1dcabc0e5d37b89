#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace loopwren {

// The per-user key-value store that holds the settings. Reads give nullopt for a key that is absent
// or whose stored value is not of the asked kind, so the engine can fall back to its defaults.
class PreferencesStore
{
public:
    virtual ~PreferencesStore() = default;

    virtual std::optional<bool> readBool(const QString& key) const = 0;
    virtual std::optional<double> readDouble(const QString& key) const = 0;
    virtual std::optional<QString> readString(const QString& key) const = 0;
    virtual std::optional<QByteArray> readBytes(const QString& key) const = 0;

    virtual void writeBool(const QString& key, bool value) = 0;
    virtual void writeDouble(const QString& key, double value) = 0;
    virtual void writeString(const QString& key, const QString& value) = 0;
    virtual void writeBytes(const QString& key, const QByteArray& value) = 0;
};

} // namespace loopwren
