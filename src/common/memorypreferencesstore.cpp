#include "memorypreferencesstore.h"

namespace loopwren {
namespace {

template <typename T>
std::optional<T> typed(const QVariantMap& values, const QString& key, QMetaType::Type type)
{
    const auto it = values.find(key);
    if (it == values.end() || it->typeId() != type)
        return std::nullopt;
    return it->value<T>();
}

} // namespace

std::optional<bool> MemoryPreferencesStore::readBool(const QString& key) const
{
    return typed<bool>(m_values, key, QMetaType::Bool);
}
std::optional<double> MemoryPreferencesStore::readDouble(const QString& key) const
{
    return typed<double>(m_values, key, QMetaType::Double);
}
std::optional<QString> MemoryPreferencesStore::readString(const QString& key) const
{
    return typed<QString>(m_values, key, QMetaType::QString);
}
std::optional<QByteArray> MemoryPreferencesStore::readBytes(const QString& key) const
{
    return typed<QByteArray>(m_values, key, QMetaType::QByteArray);
}

void MemoryPreferencesStore::write(const QString& key, const QVariant& value)
{
    m_values.insert(key, value);
    ++m_writes;
}

} // namespace loopwren
