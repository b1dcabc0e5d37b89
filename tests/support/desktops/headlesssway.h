#pragma once

#include <QImage>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <vector>

// A sway of the test's own on the headless backend (one 1280x800 output, no input devices, software
// rendering), in a runtime folder of its own, with Wayland clients started on it. sway refuses to run
// as root, so under root it and its clients run as nobody; the test, as root, still reaches their
// sockets. Everything started is stopped, by its process id, when the object goes.
class HeadlessSway
{
public:
    HeadlessSway();
    ~HeadlessSway();

    // Starts sway and waits until its IPC socket answers; false, with the reason in error(), if not.
    bool start();
    // Starts foot on it with the given arguments; its process id, or 0 with the reason in error().
    qint64 startFoot(const QStringList& arguments);
    // What the output shows now (through grim), or a null image with the reason in error().
    QImage screenshot();
    // Stops sway (its clients lose their display and end).
    void stop();

    // What a client of this sway finds in its environment in a sway session.
    QProcessEnvironment clientEnvironment() const;
    QString socketPath() const { return m_socketPath; }
    QString error() const { return m_error; }

private:
    QProcessEnvironment environment() const;
    std::unique_ptr<QProcess> launch(const QString& program, const QStringList& arguments,
                                     const QProcessEnvironment& environment, const QString& log);
    QString runtimeFile(const QString& pattern) const;

    QTemporaryDir m_folder;
    std::unique_ptr<QProcess> m_sway;
    std::vector<std::unique_ptr<QProcess>> m_clients;
    QString m_socketPath;
    QString m_waylandDisplay;
    QString m_error;
};
