#pragma once

#include "headlessdesktop.h"

// A GNOME Shell of the test's own, headless (one 1280x800 virtual monitor, no input devices, software
// rendering), with LoopWren's extension installed in a home folder of its own, and Wayland clients
// started on it. headlessgnomeshell.sh runs it under a mount namespace of its own with private system
// and session buses; the system bus carries python-dbusmock's stand-in for logind, which the Shell needs
// and this machine's logind cannot be. Everything started is stopped, by its process id, when the
// object goes.
class HeadlessGnomeShell : public HeadlessDesktop
{
public:
    // Starts the Shell, the extension enabled in its settings or only installed, and waits until the
    // Shell (and the extension, if enabled) answers and shows its desktop, out of the overview it
    // starts in; false, with the reason in error(), if not.
    bool start(bool extensionEnabled);
    // Runs `gnome-extensions ARGUMENTS` against this Shell, as its user would; false if it fails.
    bool gnomeExtensions(const QStringList& arguments);
    // Starts foot on it with the given arguments; its process id, or 0 with the reason in error().
    qint64 startFoot(const QStringList& arguments);
    void stop();

    // The session bus the Shell is on.
    QString busAddress() const;

private:
    QProcessEnvironment environment() const;
    bool leaveOverview();

    QProcess* m_shell = nullptr;
};
