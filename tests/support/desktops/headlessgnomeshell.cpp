#include "headlessgnomeshell.h"

#include "childprocesses.h"
#include "eventually.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <unistd.h>

namespace {

constexpr const char* kUuid = "loopwren@loopwren.github.io";
constexpr const char* kDisplay = "loopwren-test";

bool copyFolder(const QString& from, const QString& to)
{
    if (!QDir().mkpath(to))
        return false;
    const QDir source(from);
    const QStringList files = source.entryList(QDir::Files);
    for (const QString& file : files) {
        if (!QFile::copy(source.filePath(file), QDir(to).filePath(file)))
            return false;
    }
    return !files.isEmpty();
}

} // namespace

HeadlessGnomeShell::HeadlessGnomeShell() = default;

HeadlessGnomeShell::~HeadlessGnomeShell()
{
    for (auto& client : m_clients)
        loopwren::test::stopProcess(*client);
    stop();
}

QString HeadlessGnomeShell::busAddress() const
{
    return QStringLiteral("unix:path=") + m_folder.filePath(QStringLiteral("bus"));
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

bool HeadlessGnomeShell::answers(const QString& name) const
{
    // A connection per question: the bus may not be there yet.
    const QString connectionName = QStringLiteral("loopwren-test-probe");
    bool owned = false;
    {
        const QDBusConnection bus = QDBusConnection::connectToBus(busAddress(), connectionName);
        owned = bus.isConnected() && bus.interface()->isServiceRegistered(name).value();
    }
    QDBusConnection::disconnectFromBus(connectionName);
    return owned;
}

bool HeadlessGnomeShell::leaveOverview()
{
    const QString connectionName = QStringLiteral("loopwren-test-overview");
    QDBusConnection bus = QDBusConnection::connectToBus(busAddress(), connectionName);
    const auto overview = [&](const char* method, const QList<QVariant>& value) {
        QDBusMessage message = QDBusMessage::createMethodCall(
            QStringLiteral("org.gnome.Shell"), QStringLiteral("/org/gnome/Shell"),
            QStringLiteral("org.freedesktop.DBus.Properties"), QLatin1String(method));
        message.setArguments(
            QList<QVariant>{QStringLiteral("org.gnome.Shell"), QStringLiteral("OverviewActive")} + value);
        const QDBusMessage reply = bus.call(message);
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
    QDBusConnection::disconnectFromBus(connectionName);
    if (!left)
        m_error = QStringLiteral("the Shell's overview did not open and close");
    return left;
}

bool HeadlessGnomeShell::start(bool extensionEnabled)
{
    for (const char* program : {"gnome-shell", "gnome-extensions", "foot", "unshare", "dbus-daemon"}) {
        if (QStandardPaths::findExecutable(QLatin1String(program)).isEmpty()) {
            m_error = QStringLiteral("%1 is not installed (scripts/install-deps.sh installs it)")
                          .arg(QLatin1String(program));
            return false;
        }
    }
    if (!QFile::exists(QStringLiteral("/usr/lib/python3/dist-packages/dbusmock"))) {
        m_error = QStringLiteral("python3-dbusmock is not installed (scripts/install-deps.sh installs it)");
        return false;
    }
    const QDir folder(m_folder.path());
    const QString settings = folder.filePath(QStringLiteral("home/.config/glib-2.0/settings"));
    const QString extension =
        folder.filePath(QStringLiteral("home/.local/share/gnome-shell/extensions/") + QLatin1String(kUuid));
    if (!m_folder.isValid() || !folder.mkpath(QStringLiteral("run")) || !folder.mkpath(settings) ||
        !copyFolder(QStringLiteral(LOOPWREN_GNOME_SHELL_EXTENSION), extension)) {
        m_error = QStringLiteral("cannot make the Shell's folders and install the extension from %1")
                      .arg(QStringLiteral(LOOPWREN_GNOME_SHELL_EXTENSION));
        return false;
    }
    QFile::setPermissions(folder.filePath(QStringLiteral("run")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile keyfile(settings + QStringLiteral("/keyfile"));
    const QByteArray enabled = extensionEnabled ? QByteArray("'") + kUuid + "'" : QByteArray();
    if (!keyfile.open(QIODevice::WriteOnly) ||
        keyfile.write("[org/gnome/shell]\nenabled-extensions=[" + enabled + "]\n") < 0) {
        m_error = QStringLiteral("cannot write the Shell's settings");
        return false;
    }
    keyfile.close();

    m_shell = std::make_unique<QProcess>();
    m_shell->setProcessEnvironment(QProcessEnvironment::systemEnvironment());
    m_shell->setStandardOutputFile(folder.filePath(QStringLiteral("buses.log")));
    m_shell->setStandardErrorFile(folder.filePath(QStringLiteral("buses.log")));
    m_shell->setStandardInputFile(QProcess::nullDevice());
    // Outside root, a user namespace grants the mount namespace.
    QStringList arguments{getuid() == 0 ? QStringLiteral("-m") : QStringLiteral("-rm"),
                          QStringLiteral(LOOPWREN_HEADLESS_GNOME_SHELL_SCRIPT), m_folder.path(),
                          QLatin1String(kDisplay)};
    m_shell->start(QStringLiteral("unshare"), arguments);
    if (!m_shell->waitForStarted(30000)) {
        m_error = QStringLiteral("cannot start the Shell: %1").arg(m_shell->errorString());
        return false;
    }
    const QString awaited =
        extensionEnabled ? QStringLiteral("io.github.loopwren.Shell") : QStringLiteral("org.gnome.Shell");
    const bool answered = loopwren::test::eventually(
        [&] { return m_shell->state() == QProcess::NotRunning || answers(awaited); });
    if (!answered || m_shell->state() == QProcess::NotRunning) {
        m_error = QStringLiteral("%1 did not answer; the buses' log ends:\n%2\nthe Shell's log ends:\n%3")
                      .arg(awaited, loopwren::test::logTail(folder.filePath(QStringLiteral("buses.log"))),
                           loopwren::test::logTail(folder.filePath(QStringLiteral("shell.log"))));
        return false;
    }
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
    auto foot = std::make_unique<QProcess>();
    foot->setProcessEnvironment(environment());
    const QString log = m_folder.filePath(QStringLiteral("foot-%1.log").arg(m_clients.size()));
    foot->setStandardOutputFile(log);
    foot->setStandardErrorFile(log);
    foot->setStandardInputFile(QProcess::nullDevice());
    foot->start(QStringLiteral("foot"), arguments);
    if (!foot->waitForStarted(30000)) {
        m_error = QStringLiteral("cannot start foot: %1").arg(foot->errorString());
        return 0;
    }
    const qint64 id = foot->processId();
    m_clients.push_back(std::move(foot));
    return id;
}

void HeadlessGnomeShell::stop()
{
    if (m_shell)
        loopwren::test::stopProcess(*m_shell);
}
