#pragma once

#include "macroengine.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <string>

namespace loopwren {

// How a run of tests/engine/enginehelper.cpp (the engine in a process of its own) ended: its exit
// status, or -1 when it crashed or never started, and what it printed.
struct HelperRun
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;

    std::string describe() const;
};

QString helperPath();
// The helper with args; env is added to the environment.
HelperRun runHelper(const QStringList& args, const QMap<QString, QString>& env = {});
// Runs script with sh inside a new user and mount namespace, where it may mount what it likes (a small
// tmpfs, a read-only bind mount): the mounts vanish with the namespace, never touch the host and need
// no privileges. The script sees $HELPER and env; `must CMD...` runs a mount step that must succeed.
HelperRun runInPrivateMounts(const QString& script, const QMap<QString, QString>& env);

// A setting as the tests compare it: a hotkey in its stored form, anything else as Qt shows it.
inline QString settingText(const QVariant& value)
{
    if (value.metaType() == QMetaType::fromType<Hotkey>())
        return QString::fromStdString(encodeHotkey(value.value<Hotkey>()));
    return value.toString();
}

} // namespace loopwren
