#pragma once

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <utility>
#include <unistd.h>

namespace loopwren {

// How long a command may take before a test calls it hung: far beyond any real run, so that a loaded
// machine never trips it.
inline constexpr int kProcessTimeoutMs = 60000;

// Starts loopwren-cli as a user would, with its settings, state and runtime folder (where the lock of
// the session's player lies) kept in a folder of the test's own and, when given, on another X display
// than the test session's, or (in the VM, where the test runs as root) as another user through setpriv.
struct CliLauncher
{
    QString folder;
    QString display = {};
    QString sessionType = {};   // XDG_SESSION_TYPE, when given
    QStringList unset = {};     // environment variables taken away
    QStringList variables = {}; // "NAME=value", added last
    std::optional<uid_t> user = {};

    QString settingsPath() const { return folder + "/config/LoopWren/LoopWren.conf"; }

    // Started, or with the failure already reported to the test.
    std::unique_ptr<QProcess> start(const QStringList& arguments) const
    {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        const std::pair<const char*, const char*> folders[] = {{"XDG_CONFIG_HOME", "config"},
                                                               {"XDG_STATE_HOME", "state"},
                                                               {"XDG_DATA_HOME", "data"},
                                                               {"XDG_RUNTIME_DIR", "runtime"}};
        for (const auto& [variable, name] : folders) {
            const QString path = folder + '/' + name;
            EXPECT_TRUE(QDir().mkpath(path));
            if (user) {
                EXPECT_EQ(::chown(path.toLocal8Bit().constData(), *user, *user), 0) << path.toStdString();
            }
            environment.insert(variable, path);
        }
        EXPECT_TRUE(QFile::setPermissions(folder + "/runtime",
                                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        for (const QString& name : unset)
            environment.remove(name);
        if (!display.isEmpty())
            environment.insert("DISPLAY", display);
        if (!sessionType.isEmpty())
            environment.insert("XDG_SESSION_TYPE", sessionType);
        for (const QString& variable : variables)
            environment.insert(variable.section('=', 0, 0), variable.section('=', 1));
        process->setProcessEnvironment(environment);
        if (user) {
            const QString id = QString::number(*user);
            process->start("setpriv", QStringList{"--reuid=" + id, "--regid=" + id, "--clear-groups",
                                                  QStringLiteral(LOOPWREN_CLI)} + arguments);
        } else {
            process->start(QStringLiteral(LOOPWREN_CLI), arguments);
        }
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
