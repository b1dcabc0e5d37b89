#pragma once

#include "preferencesstore.h"

#include <QSettings>

namespace loopwren {

// The user's settings file, $XDG_CONFIG_HOME/LoopWren/LoopWren.conf, one key per setting, no groups.
// Every write reaches the disk before it returns, so a crash never loses a setting the user changed.
class QSettingsPreferencesStore : public PreferencesStore
{
public:
    QSettingsPreferencesStore();

    std::optional<bool> readBool(const QString& key) const override;
    std::optional<double> readDouble(const QString& key) const override;
    std::optional<QString> readString(const QString& key) const override;
    std::optional<QByteArray> readBytes(const QString& key) const override;

    void writeBool(const QString& key, bool value) override;
    void writeDouble(const QString& key, double value) override;
    void writeString(const QString& key, const QString& value) override;
    void writeBytes(const QString& key, const QByteArray& value) override;

    QString fileName() const { return m_settings.fileName(); }

private:
    void write(const QString& key, const QVariant& value);

    mutable QSettings m_settings;
};

} // namespace loopwren
