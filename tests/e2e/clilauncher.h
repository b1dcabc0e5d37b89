#pragma once

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace loopwren {

// How long a command may take before a test calls it hung: far beyond any real run, so that a loaded
// machine never trips it.
inline constexpr int kProcessTimeoutMs = 60000;

// Starts loopwren-cli as a user would, with its settings, state and runtime folder (where the lock of
// the session's player lies) kept in a folder of the test's own and, when given, on another X display
// than the test session's.
struct CliLauncher
{
    QString folder;
    QString display = {};
    QString sessionType = {}; // XDG_SESSION_TYPE, when given
    QStringList unset = {};   // environment variables taken away

    QString settingsPath() const { return folder + "/config/LoopWren/LoopWren.conf"; }

    // Started, or with the failure already reported to the test.
    std::unique_ptr<QProcess> start(const QStringList& arguments) const
    {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_CONFIG_HOME", folder + "/config");
        environment.insert("XDG_STATE_HOME", folder + "/state");
        environment.insert("XDG_DATA_HOME", folder + "/data");
        EXPECT_TRUE(QDir().mkpath(folder + "/runtime") &&
                    QFile::setPermissions(folder + "/runtime",
                                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        environment.insert("XDG_RUNTIME_DIR", folder + "/runtime");
        for (const QString& name : unset)
            environment.remove(name);
        if (!display.isEmpty())
            environment.insert("DISPLAY", display);
        if (!sessionType.isEmpty())
            environment.insert("XDG_SESSION_TYPE", sessionType);
        process->setProcessEnvironment(environment);
        process->start(QStringLiteral(LOOPWREN_CLI), arguments);
        EXPECT_TRUE(process->waitForStarted(kProcessTimeoutMs)) << process->errorString().toStdString();
        return process;
    }

    // Runs to the end (or is killed once the timeout passes); the exit code, or -1 when it crashed or
    // did not finish. The output holds standard output, then standard error.
    int run(const QStringList& arguments, QByteArray* output = nullptr) const
    {
        auto process = start(arguments);
        const bool finished = process->waitForFinished(kProcessTimeoutMs);
        if (!finished)
            process->kill();
        if (output)
            *output = process->readAllStandardOutput() + process->readAllStandardError();
        EXPECT_TRUE(finished) << "loopwren-cli " << arguments.join(' ').toStdString()
                              << " did not end in time";
        return finished && process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1;
    }
};

} // namespace loopwren
