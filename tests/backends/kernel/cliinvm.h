#pragma once

#include "clilauncher.h"
#include "macrofile.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace loopwren {

// loopwren-cli run in the VM by the tests of its kernel backend.
class CliInVm : public testing::Test
{
protected:
    // Runs the command-line tool, as the user nobody when asked, in an environment without a display,
    // with the variables given ("NAME=value") added.
    QProcess& start(const QStringList& arguments, bool asNobody = false, const QStringList& variables = {})
    {
        CliLauncher launcher{folder.path(), {}, {}, {"DISPLAY"}, variables};
        if (asNobody)
            launcher.user = 65534;
        cli = launcher.start(arguments);
        return *cli;
    }
    QString finish()
    {
        EXPECT_TRUE(cli->waitForFinished(120000));
        return cli->readAllStandardError();
    }
    // Saves timeline as a macro file of that name in the folder; returns its path.
    QString saveMacro(const QString& name, const Timeline& timeline)
    {
        const QString path = folder.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(writeMacro(timeline).text.c_str()) > 0);
        return path;
    }
    // Records into a file of that name while input() runs, from the tool's "Recording" to the signal that
    // ends it; what the recording holds, event by event, with the place or the key of each:
    // "mouseDown 321,123; keyUp 37; ".
    std::string record(const QString& name, const QStringList& options, const std::function<void()>& input,
                       const QStringList& variables = {})
    {
        const QString file = folder.filePath(name);
        start(QStringList{"record", file, "--backend", "kernel"} + options, false, variables);
        if (!QTest::qWaitFor([&] { return cli->canReadLine() && cli->readLine().startsWith("Recording"); },
                             120000)) {
            ADD_FAILURE() << "not recording: " << finish().toStdString();
            return {};
        }
        input();
        // A recording ends with every input the devices took before the signal.
        cli->terminate();
        const QString errors = finish();
        EXPECT_EQ(cli->exitCode(), 0) << errors.toStdString();
        std::string events;
        for (const MacroEvent& event : readMacroFile(file.toStdString()).events) {
            events += std::string(rawValue(event.type));
            if (event.location)
                events += " " + std::to_string(std::lround(event.location->x)) + "," +
                          std::to_string(std::lround(event.location->y));
            else if (event.keyCode)
                events += " " + std::to_string(*event.keyCode);
            events += "; ";
        }
        return events;
    }
    QString settingsPath() const { return CliLauncher{folder.path()}.settingsPath(); }

    QTemporaryDir folder;
    std::unique_ptr<QProcess> cli;
};

} // namespace loopwren
