#pragma once

#include "clilauncher.h"
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
    QString settingsPath() const { return CliLauncher{folder.path()}.settingsPath(); }

    QTemporaryDir folder;
    std::unique_ptr<QProcess> cli;
};

} // namespace loopwren
