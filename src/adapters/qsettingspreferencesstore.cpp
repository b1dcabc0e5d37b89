#include "qsettingspreferencesstore.h"

#include <cmath>

namespace loopwren {

QSettingsPreferencesStore::QSettingsPreferencesStore()
    : m_settings(QStringLiteral("LoopWren"), QStringLiteral("LoopWren"))
{
}

// The INI format keeps no types: a stored Boolean reads back as the text "true" or "false", a
// number as its decimal text. Anything else under a key is treated as unreadable.
std::optional<bool> QSettingsPreferencesStore::readBool(const QString& key) const
{
    const QVariant value = m_settings.value(key);
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    if (value.typeId() != QMetaType::QString)
        return std::nullopt;
    const QString text = value.toString();
    if (text == QLatin1String("true"))
        return true;
    if (text == QLatin1String("false"))
        return false;
    return std::nullopt;
}

std::optional<double> QSettingsPreferencesStore::readDouble(const QString& key) const
{
    const QVariant value = m_settings.value(key);
    bool ok = false;
    double number = 0.0;
    if (value.typeId() == QMetaType::QString)
        number = value.toString().trimmed().toDouble(&ok);
    else if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Int ||
             value.typeId() == QMetaType::LongLong)
        number = value.toDouble(&ok);
    // A window placed at NaN or infinity helps nobody: such a value counts as unreadable.
    if (!ok || !std::isfinite(number))
        return std::nullopt;
    return number;
}

std::optional<QString> QSettingsPreferencesStore::readString(const QString& key) const
{
    const QVariant value = m_settings.value(key);
    if (value.typeId() != QMetaType::QString)
        return std::nullopt;
    return value.toString();
}

std::optional<QByteArray> QSettingsPreferencesStore::readBytes(const QString& key) const
{
    const QVariant value = m_settings.value(key);
    if (value.typeId() == QMetaType::QByteArray)
        return value.toByteArray();
    if (value.typeId() == QMetaType::QString)
        return value.toString().toUtf8();
    return std::nullopt;
}

void QSettingsPreferencesStore::writeBool(const QString& key, bool value) { write(key, value); }
void QSettingsPreferencesStore::writeDouble(const QString& key, double value) { write(key, value); }
void QSettingsPreferencesStore::writeString(const QString& key, const QString& value) { write(key, value); }
void QSettingsPreferencesStore::writeBytes(const QString& key, const QByteArray& value) { write(key, value); }

void QSettingsPreferencesStore::write(const QString& key, const QVariant& value)
{
    m_settings.setValue(key, value);
    m_settings.sync();
}

} // namespace loopwren
