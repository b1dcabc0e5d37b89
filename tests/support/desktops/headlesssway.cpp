#include "headlesssway.h"

#include "childprocesses.h"
#include "eventually.h"
#include "swayipc.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <unistd.h>

namespace {

// The account sway runs under when the test runs as root.
constexpr uid_t kUnprivilegedId = 65534;

} // namespace

HeadlessSway::HeadlessSway() = default;

HeadlessSway::~HeadlessSway()
{
    for (auto& client : m_clients)
        loopwren::test::stopProcess(*client);
    stop();
}

QProcessEnvironment HeadlessSway::environment() const
{
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("PATH"), QStringLiteral("/usr/local/bin:/usr/bin:/bin"));
    environment.insert(QStringLiteral("HOME"), m_folder.path());
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_folder.filePath(QStringLiteral("run")));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_folder.filePath(QStringLiteral("config")));
    return environment;
}

std::unique_ptr<QProcess> HeadlessSway::launch(const QString& program, const QStringList& arguments,
                                               const QProcessEnvironment& environment, const QString& log)
{
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(environment);
    process->setWorkingDirectory(m_folder.path());
    process->setStandardOutputFile(log);
    process->setStandardErrorFile(log);
    process->setStandardInputFile(QProcess::nullDevice());
    if (getuid() == 0) {
        const QString id = QString::number(kUnprivilegedId);
        process->setProgram(QStringLiteral("setpriv"));
        process->setArguments(QStringList{QStringLiteral("--reuid=") + id, QStringLiteral("--regid=") + id,
                                          QStringLiteral("--clear-groups"), program} +
                              arguments);
    } else {
        process->setProgram(program);
        process->setArguments(arguments);
    }
    process->start();
    if (!process->waitForStarted(30000)) {
        m_error = QStringLiteral("cannot start %1: %2").arg(program, process->errorString());
        return nullptr;
    }
    return process;
}

QString HeadlessSway::runtimeFile(const QString& pattern) const
{
    const QDir run(m_folder.filePath(QStringLiteral("run")));
    const QStringList found = run.entryList({pattern}, QDir::System | QDir::Files);
    return found.isEmpty() ? QString() : run.filePath(found.constFirst());
}

bool HeadlessSway::start()
{
    for (const char* program : {"sway", "foot", "grim"}) {
        if (QStandardPaths::findExecutable(QLatin1String(program)).isEmpty()) {
            m_error = QStringLiteral("%1 is not installed (scripts/install-deps.sh installs it)")
                          .arg(QLatin1String(program));
            return false;
        }
    }
    if (!m_folder.isValid() || !QDir(m_folder.path()).mkpath(QStringLiteral("run")) ||
        !QDir(m_folder.path()).mkpath(QStringLiteral("config"))) {
        m_error = QStringLiteral("cannot make a runtime folder");
        return false;
    }
    const QString config = m_folder.filePath(QStringLiteral("sway.conf"));
    QFile configFile(config);
    if (!configFile.open(QIODevice::WriteOnly) ||
        configFile.write("output HEADLESS-1 resolution 1280x800 position 0 0\nxwayland disable\n") < 0) {
        m_error = QStringLiteral("cannot write %1").arg(config);
        return false;
    }
    configFile.close();
    if (getuid() == 0) {
        // The folder becomes the unprivileged account's; the runtime folder must be private to it.
        for (const QString& path : {m_folder.path(), m_folder.filePath(QStringLiteral("run")),
                                    m_folder.filePath(QStringLiteral("config")), config}) {
            if (chown(QFile::encodeName(path).constData(), kUnprivilegedId, kUnprivilegedId) != 0) {
                m_error = QStringLiteral("cannot hand %1 to the unprivileged account").arg(path);
                return false;
            }
        }
    }
    QFile::setPermissions(m_folder.filePath(QStringLiteral("run")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QProcessEnvironment swayEnvironment = environment();
    swayEnvironment.insert(QStringLiteral("WLR_BACKENDS"), QStringLiteral("headless"));
    swayEnvironment.insert(QStringLiteral("WLR_LIBINPUT_NO_DEVICES"), QStringLiteral("1"));
    swayEnvironment.insert(QStringLiteral("WLR_RENDERER"), QStringLiteral("pixman"));
    const QString log = m_folder.filePath(QStringLiteral("sway.log"));
    m_sway = launch(QStringLiteral("sway"), {QStringLiteral("-c"), config}, swayEnvironment, log);
    if (!m_sway)
        return false;
    const bool answered = loopwren::test::eventually([this] {
        if (m_sway->state() == QProcess::NotRunning)
            return true;
        m_socketPath = runtimeFile(QStringLiteral("sway-ipc.*.sock"));
        m_waylandDisplay = QFileInfo(runtimeFile(QStringLiteral("wayland-[0-9]"))).fileName();
        return !m_socketPath.isEmpty() && !m_waylandDisplay.isEmpty() &&
               loopwren::SwayIpc(m_socketPath).tree().has_value();
    });
    if (!answered || m_sway->state() == QProcess::NotRunning) {
        m_error = QStringLiteral("sway did not come up; its log ends:\n%1").arg(loopwren::test::logTail(log));
        return false;
    }
    return true;
}

QProcessEnvironment HeadlessSway::clientEnvironment() const
{
    QProcessEnvironment client = environment();
    client.insert(QStringLiteral("WAYLAND_DISPLAY"), m_waylandDisplay);
    client.insert(QStringLiteral("SWAYSOCK"), m_socketPath);
    client.insert(QStringLiteral("XDG_SESSION_TYPE"), QStringLiteral("wayland"));
    client.insert(QStringLiteral("XDG_CURRENT_DESKTOP"), QStringLiteral("sway"));
    return client;
}

qint64 HeadlessSway::startFoot(const QStringList& arguments)
{
    const QString log = m_folder.filePath(QStringLiteral("foot-%1.log").arg(m_clients.size()));
    std::unique_ptr<QProcess> foot = launch(QStringLiteral("foot"), arguments, clientEnvironment(), log);
    if (!foot)
        return 0;
    const qint64 id = foot->processId();
    m_clients.push_back(std::move(foot));
    return id;
}

QImage HeadlessSway::screenshot()
{
    const QString image = m_folder.filePath(QStringLiteral("screenshot.png"));
    QFile::remove(image);
    const std::unique_ptr<QProcess> grim = launch(QStringLiteral("grim"), {image}, clientEnvironment(),
                                                  m_folder.filePath(QStringLiteral("grim.log")));
    if (!grim)
        return QImage();
    if (!grim->waitForFinished(60000) || grim->exitCode() != 0) {
        loopwren::test::stopProcess(*grim);
        m_error = QStringLiteral("grim took no screenshot: %1")
                      .arg(loopwren::test::logTail(m_folder.filePath(QStringLiteral("grim.log"))));
        return QImage();
    }
    return QImage(image);
}

void HeadlessSway::stop()
{
    if (m_sway)
        loopwren::test::stopProcess(*m_sway);
}
