#pragma once

#include "headlessdesktop.h"

#include <QByteArray>
#include <QImage>

#include <sys/types.h>

// A sway of the test's own on the headless backend (one 1280x800 output, no input devices, software
// rendering, unless the setup says otherwise), in a runtime folder of its own, with Wayland clients
// started on it. sway refuses to run as root, so under root it and its clients run as another account
// (nobody unless the setup says otherwise); the test, as root, still reaches their sockets.
class HeadlessSway : public HeadlessDesktop
{
public:
    struct Setup
    {
        // sway's configuration (Xwayland is left off in any case).
        QByteArray config = "output HEADLESS-1 resolution 1280x800 position 0 0\n";
        // "NAME=value" for sway's environment, after the headless backend's.
        QStringList variables = {};
        // The account and its groups under root.
        uid_t account = 65534;
        QStringList groups = {};
        // What the test needs besides sway.
        QStringList programs = {QStringLiteral("foot"), QStringLiteral("grim")};
        // How many times eventually()'s limit a start may take (an emulated machine takes longer).
        int patience = 1;
    };

    HeadlessSway();
    explicit HeadlessSway(Setup setup);

    // Starts sway and waits until its IPC socket answers; false, with the reason in error(), if not.
    bool start();
    // Starts a client on it (foot unless another program is given); its process id, or 0 with the
    // reason in error().
    qint64 startFoot(const QStringList& arguments, const QString& program = QStringLiteral("foot"));
    // What the output shows now (through grim), or a null image with the reason in error().
    QImage screenshot();
    // Stops sway (its clients lose their display and end).
    void stop();

    // What a client of this sway finds in its environment in a sway session.
    QProcessEnvironment clientEnvironment() const;
    QString socketPath() const { return m_socketPath; }
    // The account its clients run as (in the runtime folder, which that account owns).
    std::optional<uid_t> account() const;

private:
    QProcessEnvironment environment() const;

    Setup m_setup;
    QProcess* m_sway = nullptr;
    QString m_socketPath;
    QString m_waylandDisplay;
};
