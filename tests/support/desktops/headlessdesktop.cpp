#include "headlessdesktop.h"

#include "childprocesses.h"
#include "eventually.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <csignal>
#include <sys/prctl.h>

HeadlessDesktop::~HeadlessDesktop()
{
    for (auto process = m_processes.rbegin(); process != m_processes.rend(); ++process)
        loopwren::test::stopProcess(**process);
}

bool HeadlessDesktop::prepare(const QStringList& programs, const QStringList& folders)
{
    for (const QString& program : programs) {
        if (QStandardPaths::findExecutable(program).isEmpty()) {
            m_error =
                QStringLiteral("%1 is not installed (scripts/install-deps.sh installs it)").arg(program);
            return false;
        }
    }
    const QDir folder(m_folder.path());
    for (const QString& name : folders) {
        if (!m_folder.isValid() || !folder.mkpath(name)) {
            m_error = QStringLiteral("cannot make the folder %1").arg(path(name));
            return false;
        }
    }
    if (QFile::setPermissions(path(QStringLiteral("run")),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
        return true;
    m_error = QStringLiteral("cannot make %1 private").arg(path(QStringLiteral("run")));
    return false;
}

std::unique_ptr<QProcess> HeadlessDesktop::run(const QString& program, const QStringList& arguments,
                                               const QProcessEnvironment& environment, const QString& log,
                                               const QString& errorLog, std::optional<uid_t> runAs,
                                               const QStringList& groups)
{
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(environment);
    process->setWorkingDirectory(m_folder.path());
    process->setStandardOutputFile(path(log));
    process->setStandardErrorFile(path(errorLog.isEmpty() ? log : errorLog));
    process->setStandardInputFile(QProcess::nullDevice());
    // A test that dies (a crash, a sanitizer's halt) takes what it started with it.
    process->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    if (runAs) {
        const QString id = QString::number(*runAs);
        const QString supplementary = groups.isEmpty() ? QStringLiteral("--clear-groups")
                                                       : QStringLiteral("--groups=") + groups.join(',');
        process->start(QStringLiteral("setpriv"),
                       QStringList{QStringLiteral("--reuid=") + id, QStringLiteral("--regid=") + id,
                                   supplementary, program} +
                           arguments);
    } else {
        process->start(program, arguments);
    }
    if (!process->waitForStarted(30000)) {
        m_error = QStringLiteral("cannot start %1: %2").arg(program, process->errorString());
        return nullptr;
    }
    return process;
}

qint64 HeadlessDesktop::startClient(const QString& program, const QStringList& arguments,
                                    const QProcessEnvironment& environment, std::optional<uid_t> runAs,
                                    const QStringList& groups)
{
    const QString log = QStringLiteral("client-%1.log").arg(m_clientLogs.size());
    const QProcess* client =
        launch(program, arguments, environment, log, log + QStringLiteral(".err"), runAs, groups);
    if (!client)
        return 0;
    m_clientLogs[client->processId()] = log;
    return client->processId();
}

bool HeadlessDesktop::cameUp(QProcess& process, const std::function<bool()>& answered, const QString& what,
                             const QStringList& logs)
{
    const auto done = [&] { return process.state() == QProcess::NotRunning || answered(); };
    bool came = false;
    for (int round = 0; round < m_patience && !came; ++round)
        came = loopwren::test::eventually(done);
    if (came && process.state() != QProcess::NotRunning)
        return true;
    m_error = QStringLiteral("%1 did not come up").arg(what);
    for (const QString& log : logs)
        m_error += QStringLiteral("; %1 ends:\n%2").arg(log, loopwren::test::logTail(path(log)));
    return false;
}

QString HeadlessDesktop::read(const QString& log) const
{
    QFile file(path(log));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QString HeadlessDesktop::clientOutput(qint64 processId) const
{
    const auto log = m_clientLogs.find(processId);
    return log == m_clientLogs.end() ? QString() : read(log->second);
}
