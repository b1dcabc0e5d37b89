// The end of the desktop session as the session manager tells it: LoopWren asks the quit prompt where
// the session lets it, and keeps the timeline in a recovery file where it does not.
#include "macrofile.h"
#include "sessionmanagerstandin.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace loopwren {
namespace {

constexpr int kProcessTimeoutMs = 60000;

class SessionEnd : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_manager.problem().empty()) << m_manager.problem();
        ASSERT_TRUE(m_folder.isValid());
    }

    // Starts the application under the session manager and waits until it has registered.
    void startApp(const QStringList& arguments)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("SESSION_MANAGER", QString::fromStdString(m_manager.address()));
        environment.insert("QT_QPA_PLATFORM", "xcb");
        // Drawn as on a server without direct rendering: Mesa's emulated OpenGL is unloaded at exit with
        // memory the leak check would blame on the application.
        environment.insert("QT_QUICK_BACKEND", "software");
        environment.insert("XDG_STATE_HOME", m_folder.filePath("state"));
        m_app.setProcessEnvironment(environment);
        m_app.setProcessChannelMode(QProcess::ForwardedErrorChannel); // a crash or leak report shows
        m_app.start(QStringLiteral(LOOPWREN_SESSION_APP), arguments);
        ASSERT_TRUE(m_app.waitForStarted(kProcessTimeoutMs));
        ASSERT_TRUE(m_manager.serveUntil([&] { return m_manager.notes().registered && isReady(); }))
            << "the application did not register: " << output().toStdString();
    }

    // Without an event loop, QProcess reads the child's output only when asked to wait for it.
    QString output()
    {
        m_app.waitForReadyRead(0);
        m_output += m_app.readAllStandardOutput();
        return QString::fromUtf8(m_output);
    }
    bool isReady() { return output().contains(QStringLiteral("ready\n")); }
    QStringList alerts() { return output().split(u'\n').filter(QStringLiteral("alert: ")); }

    // Tells the application to end and waits until it has.
    void die()
    {
        m_manager.die();
        ASSERT_TRUE(m_manager.serveUntil([&] {
            return m_app.state() == QProcess::NotRunning || m_app.waitForFinished(0);
        })) << output().toStdString();
        EXPECT_EQ(m_app.exitCode(), 0);
        EXPECT_TRUE(output().endsWith(QStringLiteral("quit\n"))) << output().toStdString();
    }

    SessionManagerStandIn m_manager;
    QTemporaryDir m_folder;
    QProcess m_app;
    QByteArray m_output;
};

// Cancel keeps the session, the next logout is asked again, and once answered the quit that the
// session's end brings does not ask a third time.
TEST_F(SessionEnd, ALogoutAsksTheQuitPromptAndItsFirstAnswerStands)
{
    startApp({"--answer", "2", "--answer", "1"}); // Cancel, then Don't Save
    const SessionManagerStandIn::Notes& notes = m_manager.notes();
    m_manager.endSession(true);
    ASSERT_TRUE(m_manager.serveUntil([&] { return notes.saveYourselfDone.size() == 1; }))
        << output().toStdString();
    EXPECT_EQ(notes.interactDone, std::vector<bool>{true}) << "Cancel asks to cancel the logout";
    EXPECT_EQ(notes.saveYourselfDone, std::vector<bool>{false});
    m_manager.cancelShutdown();
    EXPECT_EQ(alerts().size(), 1);

    m_manager.endSession(true);
    ASSERT_TRUE(m_manager.serveUntil([&] { return notes.saveYourselfDone.size() == 2; }))
        << output().toStdString();
    EXPECT_EQ(notes.interactDone, (std::vector<bool>{true, false}));
    EXPECT_EQ(notes.saveYourselfDone.back(), true);
    die();
    EXPECT_EQ(alerts(),
              (QStringList(2, QStringLiteral("alert: Save Last Recording? | You have recorded actions in "
                                             "your timeline. Would you like to save them before exiting? "
                                             "| Save, Don't Save, Cancel"))));
}

TEST_F(SessionEnd, WithoutInteractionTheTimelineIsKeptForRecovery)
{
    startApp({});
    m_manager.endSession(false);
    ASSERT_TRUE(m_manager.serveUntil([&] { return !m_manager.notes().saveYourselfDone.empty(); }))
        << output().toStdString();
    die();
    EXPECT_TRUE(alerts().isEmpty());
    EXPECT_EQ(m_manager.notes().interactRequests, 0);
    const QStringList kept = output().split(u'\n').filter(QStringLiteral("Kept the unsaved timeline in "));
    ASSERT_EQ(kept.size(), 1) << output().toStdString();
    const QString path = kept.first().mid(QStringLiteral("Kept the unsaved timeline in ").size());
    EXPECT_TRUE(path.startsWith(m_folder.filePath("state/LoopWren/"))) << path.toStdString();
    const MacroReadResult recovered = readMacroFile(path.toStdString());
    ASSERT_TRUE(recovered.ok()) << recovered.error;
    EXPECT_EQ(recovered.events.size(), 2u);
}

} // namespace
} // namespace loopwren
