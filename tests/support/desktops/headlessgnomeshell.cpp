#include "headlessgnomeshell.h"

#include "childprocesses.h"
#include "eventually.h"
#include "gnomeshellbus.h"

#include <QDBusMessage>
#include <QDBusVariant>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <unistd.h>

namespace {

constexpr const char* kUuid = "loopwren@loopwren.github.io";
constexpr const char* kDisplay = "loopwren-test";

} // namespace

QString HeadlessGnomeShell::busAddress() const
{
    return QStringLiteral("unix:path=") + path(QStringLiteral("bus"));
}

QProcessEnvironment HeadlessGnomeShell::environment() const
{
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("PATH"), QStringLiteral("/usr/local/bin:/usr/bin:/bin"));
    environment.insert(QStringLiteral("HOME"), m_folder.filePath(QStringLiteral("home")));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_folder.filePath(QStringLiteral("run")));
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), busAddress());
    environment.insert(QStringLiteral("WAYLAND_DISPLAY"), QLatin1String(kDisplay));
    return environment;
}

bool HeadlessGnomeShell::leaveOverview()
{
    loopwren::GnomeShellBus bus(busAddress());
    const auto overview = [&](const char* method, const QList<QVariant>& value) {
        QDBusMessage message = QDBusMessage::createMethodCall(
            QStringLiteral("org.gnome.Shell"), QStringLiteral("/org/gnome/Shell"),
            QStringLiteral("org.freedesktop.DBus.Properties"), QLatin1String(method));
        message.setArguments(
            QList<QVariant>{QStringLiteral("org.gnome.Shell"), QStringLiteral("OverviewActive")} + value);
        const QDBusMessage reply = bus.connection().call(message);
        return reply.arguments().isEmpty() ? QVariant()
                                           : qvariant_cast<QDBusVariant>(reply.arguments()[0]).variant();
    };
    // The Shell opens its overview once its start-up animation ends, which on a busy machine may be
    // well after it answers; an overview opening then would take the focus from the test's windows.
    const bool left = loopwren::test::eventually([&] { return overview("Get", {}).toBool(); }) &&
                      loopwren::test::eventually([&] {
                          overview("Set", {QVariant::fromValue(QDBusVariant(false))});
                          return !overview("Get", {}).toBool();
                      });
    if (!left)
        m_error = QStringLiteral("the Shell's overview did not open and close");
    return left;
}

bool HeadlessGnomeShell::start(bool extensionEnabled)
{
    if (!QFile::exists(QStringLiteral("/usr/lib/python3/dist-packages/dbusmock"))) {
        m_error = QStringLiteral("python3-dbusmock is not installed (scripts/install-deps.sh installs it)");
        return false;
    }
    const QString settings = QStringLiteral("home/.config/glib-2.0/settings");
    const QString extensions = QStringLiteral("home/.local/share/gnome-shell/extensions");
    if (!prepare({QStringLiteral("gnome-shell"), QStringLiteral("gnome-extensions"), QStringLiteral("foot"),
                  QStringLiteral("unshare"), QStringLiteral("dbus-daemon")},
                 {QStringLiteral("run"), settings, extensions}))
        return false;
    // Installed as a developer installs an extension: a link to the build's.
    if (!QFile::link(QStringLiteral(LOOPWREN_GNOME_SHELL_EXTENSION),
                     path(extensions + QLatin1Char('/') + QLatin1String(kUuid)))) {
        m_error = QStringLiteral("cannot install the extension from %1")
                      .arg(QStringLiteral(LOOPWREN_GNOME_SHELL_EXTENSION));
        return false;
    }
    QFile keyfile(path(settings + QStringLiteral("/keyfile")));
    const QByteArray enabled = extensionEnabled ? QByteArray("'") + kUuid + "'" : QByteArray();
    if (!keyfile.open(QIODevice::WriteOnly) ||
        keyfile.write("[org/gnome/shell]\nenabled-extensions=[" + enabled + "]\n") < 0) {
        m_error = QStringLiteral("cannot write the Shell's settings");
        return false;
    }
    keyfile.close();

    // Outside root, a user namespace grants the mount namespace.
    m_shell = launch(QStringLiteral("unshare"),
                     QStringList{getuid() == 0 ? QStringLiteral("-m") : QStringLiteral("-rm"),
                                 QStringLiteral(LOOPWREN_HEADLESS_GNOME_SHELL_SCRIPT), m_folder.path(),
                                 QLatin1String(kDisplay)},
                     QProcessEnvironment::systemEnvironment(), QStringLiteral("buses.log"));
    const QString awaited =
        extensionEnabled ? QStringLiteral("io.github.loopwren.Shell") : QStringLiteral("org.gnome.Shell");
    if (!m_shell || !cameUp(*m_shell, [&] { return loopwren::GnomeShellBus(busAddress()).answers(awaited); },
                            awaited, {QStringLiteral("buses.log"), QStringLiteral("shell.log")}))
        return false;
    return leaveOverview();
}

bool HeadlessGnomeShell::gnomeExtensions(const QStringList& arguments)
{
    QProcess tool;
    tool.setProcessEnvironment(environment());
    tool.start(QStringLiteral("gnome-extensions"), arguments);
    if (!tool.waitForFinished(60000) || tool.exitCode() != 0) {
        m_error =
            QStringLiteral("gnome-extensions %1 failed: %2")
                .arg(arguments.join(QLatin1Char(' ')), QString::fromLocal8Bit(tool.readAllStandardError()));
        return false;
    }
    return true;
}

qint64 HeadlessGnomeShell::startFoot(const QStringList& arguments)
{
    return startClient(QStringLiteral("foot"), arguments, environment());
}

void HeadlessGnomeShell::stop()
{
    if (m_shell)
        loopwren::test::stopProcess(*m_shell);
}
