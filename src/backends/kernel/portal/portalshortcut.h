#pragma once

#include <QList>
#include <QMetaType>
#include <QString>
#include <QVariantMap>

class QDBusArgument;

namespace loopwren {

// One entry of the shortcuts portal's shortcut lists, as it travels on the bus: the application's id
// for the shortcut and what is said about it (a description, a preferred or the actual trigger).
struct PortalShortcut
{
    QString id;
    QVariantMap properties;

    // Makes the list type known to the bus; called before the first call that carries one.
    static void registerType();
};

QDBusArgument& operator<<(QDBusArgument& argument, const PortalShortcut& shortcut);
const QDBusArgument& operator>>(const QDBusArgument& argument, PortalShortcut& shortcut);

} // namespace loopwren

Q_DECLARE_METATYPE(loopwren::PortalShortcut)
