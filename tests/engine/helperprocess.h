#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

namespace loopwren {

// Runs tests/engine/enginehelper.cpp as a separate process, directly or inside a private user and
// mount namespace where a test may mount what it likes (a small tmpfs, a read-only bind mount): the
// mounts vanish with the namespace, never touch the host and need no privileges.
class HelperProcess
{
public:
    struct Result
    {
        bool started = false;
        bool crashed = false;
        int exitCode = -1;
        QByteArray out;
        QByteArray err;
        // Whether the script got inside the namespace and made its mounts.
        bool namespaceEntered = false;
        bool mountsMade = false;

        QStringList outLines() const;
        // For failure messages.
        QString describe() const;
    };

    static QString helperPath();

    // The helper with args; extra is added to the environment.
    static Result run(const QStringList& args, const QMap<QString, QString>& extra = {});

    // Runs script with sh inside a new user and mount namespace (unshare from util-linux). The script
    // sees $HELPER and every variable of vars; a `must CMD...` in it runs a mount step that must
    // succeed, or the result reports that the mounts could not be made.
    static Result runWithPrivateMounts(const QString& script, const QMap<QString, QString>& vars);
};

} // namespace loopwren
