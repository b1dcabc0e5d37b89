#pragma once

#include "preferencesstore.h"

#include <QVariant>
#include <QVariantMap>

namespace loopwren {

// Settings kept in memory only, for a front end that must not touch the user's settings file, and for
// tests. Values keep their type, so a test can plant a value of the wrong kind.
class MemoryPreferencesStore : public PreferencesStore
{
public:
    explicit MemoryPreferencesStore(QVariantMap values = {}) : m_values(std::move(values)) {}

    std::optional<bool> readBool(const QString& key) const override;
    std::optional<double> readDouble(const QString& key) const override;
    std::optional<QString> readString(const QString& key) const override;
    std::optional<QByteArray> readBytes(const QString& key) const override;

    void writeBool(const QString& key, bool value) override { write(key, value); }
    void writeDouble(const QString& key, double value) override { write(key, value); }
    void writeString(const QString& key, const QString& value) override { write(key, value); }
    void writeBytes(const QString& key, const QByteArray& value) override { write(key, value); }

    const QVariantMap& values() const { return m_values; }
    int writeCount() const { return m_writes; }

private:
    void write(const QString& key, const QVariant& value);

    QVariantMap m_values;
    int m_writes = 0;
};

} // namespace loopwren
