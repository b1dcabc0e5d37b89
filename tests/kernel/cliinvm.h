#pragma once

#include "macrofile.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace loopwren {

// loopwren-cli run in the VM by the tests of its kernel backend.
class CliInVm : public testing::Test
{
protected:
    // Runs the command-line tool, as the user nobody when asked, in an environment without a display,
    // with the variables given ("NAME=value") added.
    QProcess& start(const QStringList& arguments, bool asNobody = false, const QStringList& variables = {})
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("DISPLAY");
        environment.insert("XDG_CONFIG_HOME", folder.path());
        for (const QString& variable : variables)
            environment.insert(variable.section('=', 0, 0), variable.section('=', 1));
        cli.setProcessEnvironment(environment);
        if (asNobody)
            cli.start("setpriv",
                      QStringList{"--reuid=65534", "--regid=65534", "--clear-groups", LOOPWREN_CLI} +
                          arguments);
        else
            cli.start(LOOPWREN_CLI, arguments);
        EXPECT_TRUE(cli.waitForStarted());
        return cli;
    }
    QString finish()
    {
        EXPECT_TRUE(cli.waitForFinished(120000));
        return cli.readAllStandardError();
    }
    // Saves timeline as a macro file of that name in the folder; returns its path.
    QString saveMacro(const QString& name, const Timeline& timeline)
    {
        const QString path = folder.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(writeMacro(timeline).text.c_str()) > 0);
        return path;
    }

    QTemporaryDir folder;
    QProcess cli;
};

} // namespace loopwren
