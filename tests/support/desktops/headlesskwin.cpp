#include "headlesskwin.h"

#include "childprocesses.h"
#include "eventually.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <csignal>
#include <sys/prctl.h>

HeadlessKWin::HeadlessKWin() : m_previousBus(qgetenv("DBUS_SESSION_BUS_ADDRESS")) {}

HeadlessKWin::~HeadlessKWin()
{
    for (auto& client : m_clients)
        loopwren::test::stopProcess(*client);
    if (m_kwin)
        loopwren::test::stopProcess(*m_kwin);
    if (m_bus)
        loopwren::test::stopProcess(*m_bus);
    qputenv("DBUS_SESSION_BUS_ADDRESS", m_previousBus);
}

QProcessEnvironment HeadlessKWin::environment() const
{
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("PATH"), QStringLiteral("/usr/local/bin:/usr/bin:/bin"));
    environment.insert(QStringLiteral("HOME"), m_folder.path());
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeFolder());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_folder.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), m_folder.filePath(QStringLiteral("share")));
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_busAddress);
    return environment;
}

std::unique_ptr<QProcess> HeadlessKWin::launch(const QString& program, const QStringList& arguments,
                                               const QProcessEnvironment& environment, const QString& log,
                                               const QString& errorLog)
{
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(environment);
    process->setWorkingDirectory(m_folder.path());
    process->setStandardOutputFile(log);
    process->setStandardErrorFile(errorLog.isEmpty() ? log : errorLog);
    process->setStandardInputFile(QProcess::nullDevice());
    process->setProgram(program);
    process->setArguments(arguments);
    // A test that dies (a crash, a sanitizer's halt) takes KWin, the bus and the clients with it.
    process->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    process->start();
    if (!process->waitForStarted(30000)) {
        m_error = QStringLiteral("cannot start %1: %2").arg(program, process->errorString());
        return nullptr;
    }
    return process;
}

bool HeadlessKWin::trust(const QString& program, const QString& interfaces)
{
    const QDir applications(m_folder.filePath(QStringLiteral("share/applications")));
    QFile entry(
        applications.filePath(QStringLiteral("trusted-%1.desktop").arg(QFileInfo(program).fileName())));
    if (!applications.mkpath(QStringLiteral(".")) || !entry.open(QIODevice::WriteOnly)) {
        m_error = QStringLiteral("cannot write %1").arg(entry.fileName());
        return false;
    }
    entry.write(QStringLiteral("[Desktop Entry]\nType=Application\nName=Trusted\nNoDisplay=true\nExec=%1\n"
                               "X-KDE-Wayland-Interfaces=%2\n")
                    .arg(QFileInfo(program).canonicalFilePath(), interfaces)
                    .toUtf8());
    return true;
}

bool HeadlessKWin::start()
{
    const QString installed = QStandardPaths::findExecutable(QStringLiteral("kwin_wayland"));
    if (installed.isEmpty()) {
        m_error = QStringLiteral("kwin_wayland is not installed (scripts/install-deps.sh installs it)");
        return false;
    }
    const QDir folder(m_folder.path());
    if (!m_folder.isValid() || !folder.mkpath(QStringLiteral("run")) ||
        !folder.mkpath(QStringLiteral("config")) || !folder.mkpath(QStringLiteral("bin"))) {
        m_error = QStringLiteral("cannot make a runtime folder");
        return false;
    }
    QFile::setPermissions(runtimeFolder(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // A plain copy carries no file capability.
    const QString kwin = m_folder.filePath(QStringLiteral("bin/kwin_wayland"));
    if (!QFile::copy(installed, kwin)) {
        m_error = QStringLiteral("cannot copy %1").arg(installed);
        return false;
    }

    // A bus of the test's own: KWin takes well-known names and global shortcuts on it.
    const QString busSocket = m_folder.filePath(QStringLiteral("run/bus"));
    m_busAddress = QStringLiteral("unix:path=") + busSocket;
    m_bus = launch(QStringLiteral("dbus-daemon"),
                   {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--nopidfile"),
                    QStringLiteral("--address=") + m_busAddress},
                   environment(), m_folder.filePath(QStringLiteral("bus.log")));
    if (!m_bus)
        return false;
    if (!loopwren::test::eventually(
            [&] { return QFile::exists(busSocket) || m_bus->state() == QProcess::NotRunning; }) ||
        m_bus->state() == QProcess::NotRunning) {
        m_error = QStringLiteral("the session bus did not come up: %1")
                      .arg(loopwren::test::logTail(m_folder.filePath(QStringLiteral("bus.log"))));
        return false;
    }
    qputenv("DBUS_SESSION_BUS_ADDRESS", m_busAddress.toLocal8Bit());

    m_waylandDisplay = QStringLiteral("kwin-test");
    const QString log = m_folder.filePath(QStringLiteral("kwin.log"));
    m_kwin = launch(kwin,
                    {QStringLiteral("--virtual"), QStringLiteral("--no-lockscreen"),
                     QStringLiteral("--width"), QStringLiteral("1280"), QStringLiteral("--height"),
                     QStringLiteral("800"), QStringLiteral("--socket"), m_waylandDisplay},
                    environment(), log);
    if (!m_kwin)
        return false;
    // KWin takes its name before it offers its scripting.
    const bool answered = loopwren::test::eventually([&] {
        if (m_kwin->state() == QProcess::NotRunning)
            return true;
        QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("org.kde.KWin"), QStringLiteral("/Scripting"),
            QStringLiteral("org.kde.kwin.Scripting"), QStringLiteral("isScriptLoaded"));
        call.setArguments({QStringLiteral("none")});
        // The process's session bus is the test's from here on.
        const QDBusMessage reply = QDBusConnection::sessionBus().call(call);
        return reply.type() == QDBusMessage::ReplyMessage;
    });
    if (!answered || m_kwin->state() == QProcess::NotRunning) {
        m_error = QStringLiteral("KWin did not come up; its log ends:\n%1").arg(loopwren::test::logTail(log));
        return false;
    }
    return true;
}

qint64 HeadlessKWin::startClient(const QString& program, const QStringList& arguments)
{
    QProcessEnvironment clientEnvironment = environment();
    clientEnvironment.insert(QStringLiteral("WAYLAND_DISPLAY"), m_waylandDisplay);
    clientEnvironment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
    const QString log = m_folder.filePath(QStringLiteral("client-%1.log").arg(m_clients.size()));
    // What it says for the test stays apart from what its libraries (and sanitizers) print.
    std::unique_ptr<QProcess> client =
        launch(program, arguments, clientEnvironment, log, log + QStringLiteral(".err"));
    if (!client)
        return 0;
    const qint64 id = client->processId();
    m_clients.push_back(std::move(client));
    m_clientLogs[id] = log;
    return id;
}

void HeadlessKWin::stopKWin()
{
    if (m_kwin)
        loopwren::test::stopProcess(*m_kwin);
}

QString HeadlessKWin::clientOutput(qint64 processId) const
{
    const auto log = m_clientLogs.find(processId);
    if (log == m_clientLogs.end())
        return QString();
    QFile file(log->second);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QString HeadlessKWin::kwinOutput() const
{
    QFile file(m_folder.filePath(QStringLiteral("kwin.log")));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}
