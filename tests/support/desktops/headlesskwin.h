#pragma once

#include "headlessdesktop.h"

// A KWin of the test's own (kwin_wayland's virtual backend: one 1280x800 output, no input devices) on
// a session bus of its own, in a runtime folder of its own, with Wayland clients started on it. The
// process's session bus becomes that bus while the object lives, so the code under test finds KWin as
// it would in a Plasma session; Qt makes that connection once per process, so a process holds one
// HeadlessKWin (ctest runs each test in a process of its own). Everything started is stopped, by its process
// id, when the object goes.
//
// Debian installs kwin_wayland with a file capability that this machine refuses to exec, so the test
// runs a copy without it; the copy keeps the name, which KWin's own Qt platform plugin needs.
class HeadlessKWin : public HeadlessDesktop
{
public:
    HeadlessKWin();
    ~HeadlessKWin();

    // Lets the program use KWin's restricted Wayland interfaces (fake input among them): KWin offers
    // them only to programs whose desktop entry asks for them. Called before start().
    bool trust(const QString& program, const QString& interfaces);
    // Starts the bus and KWin and waits until org.kde.KWin answers; false, with the reason in error().
    bool start();
    // Stops KWin (its clients lose their display and end); the bus stays.
    void stopKWin();
    // Starts a Wayland client on KWin; its process id, or 0 with the reason in error().
    qint64 startClient(const QString& program, const QStringList& arguments);

    // What KWin printed so far (its scripts' print() lines among it).
    QString kwinOutput() const { return read(QStringLiteral("kwin.log")); }

    QString busAddress() const { return m_busAddress; }
    QString waylandDisplay() const { return m_waylandDisplay; }
    QString runtimeFolder() const { return path(QStringLiteral("run")); }

private:
    QProcessEnvironment environment() const;

    QProcess* m_kwin = nullptr;
    QString m_busAddress;
    QString m_waylandDisplay = QStringLiteral("kwin-test");
    QByteArray m_previousBus;
};
