#include "headlesskwin.h"

#include "childprocesses.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

HeadlessKWin::HeadlessKWin() : m_previousBus(qgetenv("DBUS_SESSION_BUS_ADDRESS")) {}

HeadlessKWin::~HeadlessKWin() { qputenv("DBUS_SESSION_BUS_ADDRESS", m_previousBus); }

QProcessEnvironment HeadlessKWin::environment() const
{
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("PATH"), QStringLiteral("/usr/local/bin:/usr/bin:/bin"));
    environment.insert(QStringLiteral("HOME"), m_folder.path());
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeFolder());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("config")));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), path(QStringLiteral("share")));
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_busAddress);
    return environment;
}

bool HeadlessKWin::trust(const QString& program, const QString& interfaces)
{
    const QDir applications(path(QStringLiteral("share/applications")));
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
    if (!prepare({QStringLiteral("kwin_wayland"), QStringLiteral("dbus-daemon")},
                 {QStringLiteral("run"), QStringLiteral("config"), QStringLiteral("bin")}))
        return false;
    // A plain copy carries no file capability.
    const QString installed = QStandardPaths::findExecutable(QStringLiteral("kwin_wayland"));
    const QString kwin = path(QStringLiteral("bin/kwin_wayland"));
    if (!QFile::copy(installed, kwin)) {
        m_error = QStringLiteral("cannot copy %1").arg(installed);
        return false;
    }

    // A bus of the test's own: KWin takes well-known names and global shortcuts on it.
    const QString busSocket = path(QStringLiteral("run/bus"));
    m_busAddress = QStringLiteral("unix:path=") + busSocket;
    QProcess* const bus =
        launch(QStringLiteral("dbus-daemon"),
               QStringList{QStringLiteral("--session"), QStringLiteral("--nofork"),
                           QStringLiteral("--nopidfile"), QStringLiteral("--address=") + m_busAddress},
               environment(), QStringLiteral("bus.log"));
    if (!bus || !cameUp(*bus, [&] { return QFile::exists(busSocket); }, QStringLiteral("the session bus"),
                        {QStringLiteral("bus.log")}))
        return false;
    qputenv("DBUS_SESSION_BUS_ADDRESS", m_busAddress.toLocal8Bit());

    m_kwin = launch(kwin,
                    QStringList{QStringLiteral("--virtual"), QStringLiteral("--no-lockscreen"),
                                QStringLiteral("--width"), QStringLiteral("1280"), QStringLiteral("--height"),
                                QStringLiteral("800"), QStringLiteral("--socket"), m_waylandDisplay},
                    environment(), QStringLiteral("kwin.log"));
    // KWin takes its name before it offers its scripting.
    return m_kwin &&
           cameUp(*m_kwin,
                  [&] {
                      QDBusMessage call = QDBusMessage::createMethodCall(
                          QStringLiteral("org.kde.KWin"), QStringLiteral("/Scripting"),
                          QStringLiteral("org.kde.kwin.Scripting"), QStringLiteral("isScriptLoaded"));
                      call.setArguments({QStringLiteral("none")});
                      // The process's session bus is the test's from here on.
                      return QDBusConnection::sessionBus().call(call).type() == QDBusMessage::ReplyMessage;
                  },
                  QStringLiteral("KWin"), {QStringLiteral("kwin.log")});
}

qint64 HeadlessKWin::startClient(const QString& program, const QStringList& arguments)
{
    QProcessEnvironment clientEnvironment = environment();
    clientEnvironment.insert(QStringLiteral("WAYLAND_DISPLAY"), m_waylandDisplay);
    clientEnvironment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
    return HeadlessDesktop::startClient(program, arguments, clientEnvironment);
}

void HeadlessKWin::stopKWin()
{
    if (m_kwin)
        loopwren::test::stopProcess(*m_kwin);
}
