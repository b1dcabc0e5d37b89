#include "clilauncher.h"

#include <gtest/gtest.h>

namespace loopwren {

CliLauncher::CliLauncher(QString configHome, QString display)
    : m_configHome(std::move(configHome)), m_display(std::move(display))
{
}

std::unique_ptr<QProcess> CliLauncher::start(const QStringList& arguments,
                                             QProcess::ProcessChannelMode channels) const
{
    auto process = std::make_unique<QProcess>();
    process->setProcessChannelMode(channels);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_CONFIG_HOME", m_configHome);
    if (!m_display.isEmpty())
        environment.insert("DISPLAY", m_display);
    process->setProcessEnvironment(environment);
    process->start(QStringLiteral(LOOPWREN_CLI), arguments);
    EXPECT_TRUE(process->waitForStarted(kProcessTimeoutMs)) << process->errorString().toStdString();
    return process;
}

int CliLauncher::run(const QStringList& arguments, QByteArray* output, int timeoutMs) const
{
    auto process = start(arguments, QProcess::MergedChannels);
    const bool finished = process->waitForFinished(timeoutMs);
    if (!finished)
        process->kill();
    if (output)
        *output = process->readAll();
    EXPECT_TRUE(finished) << "loopwren-cli " << arguments.join(' ').toStdString() << " did not end in time";
    return finished && process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1;
}

QString CliLauncher::settingsPath() const { return m_configHome + QStringLiteral("/LoopWren/LoopWren.conf"); }

} // namespace loopwren
