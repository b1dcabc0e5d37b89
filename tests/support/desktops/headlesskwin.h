#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <map>
#include <memory>
#include <vector>

// A KWin of the test's own (kwin_wayland's virtual backend: one 1280x800 output, no input devices) on
// a session bus of its own, in a runtime folder of its own, with Wayland clients started on it. The
// process's session bus becomes that bus while the object lives, so the code under test finds KWin as
// it would in a Plasma session; Qt makes that connection once per process, so a process holds one
// HeadlessKWin (ctest runs each test in a process of its own). Everything started is stopped, by its process
// id, when the object goes.
//
// Debian installs kwin_wayland with a file capability that this machine refuses to exec, so the test
// runs a copy without it; the copy keeps the name, which KWin's own Qt platform plugin needs.
class HeadlessKWin
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

    // What the client with that process id printed so far.
    QString clientOutput(qint64 processId) const;
    // What KWin printed so far (its scripts' print() lines among it).
    QString kwinOutput() const;

    QString busAddress() const { return m_busAddress; }
    QString waylandDisplay() const { return m_waylandDisplay; }
    QString runtimeFolder() const { return m_folder.filePath(QStringLiteral("run")); }
    QString error() const { return m_error; }

private:
    QProcessEnvironment environment() const;
    std::unique_ptr<QProcess> launch(const QString& program, const QStringList& arguments,
                                     const QProcessEnvironment& environment, const QString& log,
                                     const QString& errorLog = QString());

    QTemporaryDir m_folder;
    std::unique_ptr<QProcess> m_bus;
    std::unique_ptr<QProcess> m_kwin;
    std::vector<std::unique_ptr<QProcess>> m_clients;
    std::map<qint64, QString> m_clientLogs;
    QString m_busAddress;
    QString m_waylandDisplay;
    QString m_error;
    QByteArray m_previousBus;
};
