#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

#include <memory>

namespace loopwren {

// How long a command may take before a test calls it hung: far beyond any real run, so that a loaded
// machine never trips it.
inline constexpr int kProcessTimeoutMs = 60000;

// Starts loopwren-cli as a user would, with its settings kept in a folder of the test's own
// (XDG_CONFIG_HOME) and, when given, on another X display than the test session's.
class CliLauncher
{
public:
    explicit CliLauncher(QString configHome, QString display = {});

    // Started, or with the failure already reported to the test.
    std::unique_ptr<QProcess> start(const QStringList& arguments,
                                    QProcess::ProcessChannelMode channels = QProcess::SeparateChannels) const;
    // Runs to the end (at most the timeout, in which case the process is killed); the exit code, or -1
    // when it crashed or did not finish. The output holds standard output and error together.
    int run(const QStringList& arguments, QByteArray* output = nullptr,
            int timeoutMs = kProcessTimeoutMs) const;
    // Where the stored settings live.
    QString settingsPath() const;

private:
    QString m_configHome;
    QString m_display;
};

} // namespace loopwren
