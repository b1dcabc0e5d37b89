#include "headlesssway.h"

#include "childprocesses.h"
#include "swayipc.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

HeadlessSway::HeadlessSway() : HeadlessSway(Setup()) {}

HeadlessSway::HeadlessSway(Setup setup) : m_setup(std::move(setup)) { m_patience = m_setup.patience; }

std::optional<uid_t> HeadlessSway::account() const
{
    return getuid() == 0 ? std::optional<uid_t>(m_setup.account) : std::nullopt;
}

QProcessEnvironment HeadlessSway::environment() const
{
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("PATH"), QStringLiteral("/usr/local/bin:/usr/bin:/bin"));
    environment.insert(QStringLiteral("HOME"), m_folder.path());
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), path(QStringLiteral("run")));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("config")));
    return environment;
}

bool HeadlessSway::start()
{
    if (!prepare(QStringList{QStringLiteral("sway")} + m_setup.programs,
                 {QStringLiteral("run"), QStringLiteral("config")}))
        return false;
    const QString config = path(QStringLiteral("sway.conf"));
    QFile configFile(config);
    if (!configFile.open(QIODevice::WriteOnly) ||
        configFile.write(m_setup.config + "xwayland disable\n") < 0) {
        m_error = QStringLiteral("cannot write %1").arg(config);
        return false;
    }
    configFile.close();
    if (account()) {
        // The folder becomes the account's; the runtime folder must be private to it.
        for (const QString& owned :
             {m_folder.path(), path(QStringLiteral("run")), path(QStringLiteral("config")), config}) {
            if (chown(QFile::encodeName(owned).constData(), *account(), *account()) != 0) {
                m_error = QStringLiteral("cannot hand %1 to the account sway runs as").arg(owned);
                return false;
            }
        }
    }

    QProcessEnvironment swayEnvironment = environment();
    for (const QString& variable :
         QStringList{QStringLiteral("WLR_BACKENDS=headless"), QStringLiteral("WLR_LIBINPUT_NO_DEVICES=1"),
                     QStringLiteral("WLR_RENDERER=pixman")} +
             m_setup.variables)
        swayEnvironment.insert(variable.section('=', 0, 0), variable.section('=', 1));
    m_sway = launch(QStringLiteral("sway"), QStringList{QStringLiteral("-c"), config}, swayEnvironment,
                    QStringLiteral("sway.log"), QString(), account(), m_setup.groups);
    const QDir run(path(QStringLiteral("run")));
    const auto runtimeFile = [&](const QString& pattern) {
        const QString found = run.entryList({pattern}, QDir::System | QDir::Files).value(0);
        return found.isEmpty() ? found : run.filePath(found);
    };
    return m_sway && cameUp(*m_sway,
                            [&] {
                                m_socketPath = runtimeFile(QStringLiteral("sway-ipc.*.sock"));
                                m_waylandDisplay =
                                    QFileInfo(runtimeFile(QStringLiteral("wayland-[0-9]"))).fileName();
                                return !m_socketPath.isEmpty() && !m_waylandDisplay.isEmpty() &&
                                       loopwren::SwayIpc(m_socketPath).tree().has_value();
                            },
                            QStringLiteral("sway"), {QStringLiteral("sway.log")});
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

qint64 HeadlessSway::startFoot(const QStringList& arguments, const QString& program)
{
    return startClient(program, arguments, clientEnvironment(), account());
}

QImage HeadlessSway::screenshot()
{
    const QString image = path(QStringLiteral("screenshot.png"));
    QFile::remove(image);
    const std::unique_ptr<QProcess> grim = run(QStringLiteral("grim"), {image}, clientEnvironment(),
                                               QStringLiteral("grim.log"), QString(), account());
    if (!grim)
        return QImage();
    if (!grim->waitForFinished(60000) || grim->exitCode() != 0) {
        loopwren::test::stopProcess(*grim);
        m_error = QStringLiteral("grim took no screenshot: %1").arg(read(QStringLiteral("grim.log")));
        return QImage();
    }
    return QImage(image);
}

void HeadlessSway::stop()
{
    if (m_sway)
        loopwren::test::stopProcess(*m_sway);
}
