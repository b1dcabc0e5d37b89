#pragma once

#include "memorypreferencesstore.h"

#include <memory>

namespace loopwren {

// The user's settings, read but never written: what is written is kept for this run only and read
// back from there. For loopwren-cli, which uses the settings the window stored and must not change
// them (listing the applications once chose a target and stored it).
class ReadOnlyPreferencesStore : public PreferencesStore
{
public:
    explicit ReadOnlyPreferencesStore(std::unique_ptr<PreferencesStore> stored) : m_stored(std::move(stored))
    {
    }

    std::optional<bool> readBool(const QString& key) const override;
    std::optional<double> readDouble(const QString& key) const override;
    std::optional<QString> readString(const QString& key) const override;
    std::optional<QByteArray> readBytes(const QString& key) const override;

    void writeBool(const QString& key, bool value) override { m_written.writeBool(key, value); }
    void writeDouble(const QString& key, double value) override { m_written.writeDouble(key, value); }
    void writeString(const QString& key, const QString& value) override { m_written.writeString(key, value); }
    void writeBytes(const QString& key, const QByteArray& value) override
    {
        m_written.writeBytes(key, value);
    }

private:
    const PreferencesStore& source(const QString& key) const
    {
        return m_written.values().contains(key) ? static_cast<const PreferencesStore&>(m_written) : *m_stored;
    }

    std::unique_ptr<PreferencesStore> m_stored;
    MemoryPreferencesStore m_written;
};

} // namespace loopwren
