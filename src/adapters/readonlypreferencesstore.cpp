#include "readonlypreferencesstore.h"

namespace loopwren {

std::optional<bool> ReadOnlyPreferencesStore::readBool(const QString& key) const
{
    return source(key).readBool(key);
}

std::optional<double> ReadOnlyPreferencesStore::readDouble(const QString& key) const
{
    return source(key).readDouble(key);
}

std::optional<QString> ReadOnlyPreferencesStore::readString(const QString& key) const
{
    return source(key).readString(key);
}

std::optional<QByteArray> ReadOnlyPreferencesStore::readBytes(const QString& key) const
{
    return source(key).readBytes(key);
}

} // namespace loopwren
