// The end of the desktop session as the session manager tells it: LoopWren asks the quit prompt where
// the session lets it, and keeps the timeline in a recovery file where it does not.
#include "macrofile.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// After gtest: Xlib defines Bool, which gtest uses as a name.
#include <X11/ICE/ICElib.h>
#include <X11/SM/SMlib.h>

#include <poll.h>

#include <cstring>
#include <functional>
#include <sstream>

namespace loopwren {
namespace {

constexpr int kProcessTimeoutMs = 60000;

// A stand-in for the desktop's session manager (a GUI one cannot be driven from a test): the X Session
// Management Protocol over ICE, as libSM offers it to session managers, with one client at a time. It
// grants every interaction request at once and notes what the client answers.
class SessionManagerStandIn
{
public:
    SessionManagerStandIn()
    {
        // libICE's default ends the process when a client goes away.
        IceSetIOErrorHandler([](IceConn) {});
        char error[256] = {};
        if (!SmsInitialize("LoopWren tests", "1.0", newClient, this, allowAnyHost, sizeof error, error) ||
            !IceListenForConnections(&m_listenCount, &m_listeners, sizeof error, error)) {
            problem = error;
            return;
        }
        // Only the local socket: nothing of the test should listen on the network.
        char* ids = IceComposeNetworkIdList(m_listenCount, m_listeners);
        std::stringstream list(ids);
        std::free(ids);
        for (std::string id; std::getline(list, id, ',');) {
            if (id.starts_with("local/"))
                address = id;
        }
        for (int i = 0; i < m_listenCount; ++i)
            IceSetHostBasedAuthProc(m_listeners[i], allowAnyHost);
    }
    ~SessionManagerStandIn()
    {
        for (IceConn connection : m_connections)
            IceCloseConnection(connection);
        if (m_listeners)
            IceFreeListenObjs(m_listenCount, m_listeners);
    }

    // Serves the protocol until the condition holds or the timeout passes; returns the condition.
    bool serveUntil(const std::function<bool()>& condition)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!condition()) {
            if (std::chrono::steady_clock::now() >= deadline)
                return false;
            std::vector<pollfd> fds;
            for (int i = 0; i < m_listenCount; ++i)
                fds.push_back({IceGetListenConnectionNumber(m_listeners[i]), POLLIN, 0});
            for (IceConn connection : m_connections)
                fds.push_back({IceConnectionNumber(connection), POLLIN, 0});
            if (poll(fds.data(), fds.size(), 20) <= 0)
                continue;
            IceAcceptStatus status;
            for (int i = 0; i < m_listenCount; ++i) {
                if (fds[i].revents & POLLIN)
                    m_connections.push_back(IceAcceptConnection(m_listeners[i], &status));
            }
            for (std::size_t i = m_listenCount; i < fds.size(); ++i) {
                IceConn& connection = m_connections[i - m_listenCount];
                if (fds[i].revents &&
                    IceProcessMessages(connection, nullptr, nullptr) == IceProcessMessagesIOError) {
                    IceCloseConnection(connection);
                    connection = nullptr;
                }
            }
            std::erase(m_connections, nullptr);
        }
        return true;
    }

    std::string address;
    std::string problem;
    bool registered = false;
    int interactRequests = 0;
    std::vector<bool> interactDone;     // cancelShutdown of each InteractDone
    std::vector<bool> saveYourselfDone; // success of each SaveYourselfDone
    SmsConn client = nullptr;

private:
    static Bool allowAnyHost(char*) { return True; }
    static SessionManagerStandIn& self(SmPointer data) { return *static_cast<SessionManagerStandIn*>(data); }

    // libSM calls every callback without checking for it, so each one is set.
    static Status newClient(SmsConn client, SmPointer data, unsigned long* mask, SmsCallbacks* callbacks,
                            char**)
    {
        static SessionManagerStandIn* manager;
        manager = &self(data);
        manager->client = client;
        *mask = ~0ul;
        std::memset(callbacks, 0, sizeof *callbacks);
        callbacks->register_client.callback = [](SmsConn client, SmPointer, char* previousId) {
            std::free(previousId);
            char* id = SmsGenerateClientID(client);
            manager->registered = SmsRegisterClientReply(client, id);
            std::free(id);
            return Status(manager->registered);
        };
        callbacks->interact_request.callback = [](SmsConn client, SmPointer, int) {
            ++manager->interactRequests;
            SmsInteract(client);
        };
        callbacks->interact_done.callback = [](SmsConn, SmPointer, Bool cancel) {
            manager->interactDone.push_back(cancel);
        };
        callbacks->save_yourself_request.callback = [](SmsConn, SmPointer, int, Bool, int, Bool, Bool) {};
        callbacks->save_yourself_phase2_request.callback = [](SmsConn client, SmPointer) {
            SmsSaveYourselfPhase2(client);
        };
        callbacks->save_yourself_done.callback = [](SmsConn, SmPointer, Bool success) {
            manager->saveYourselfDone.push_back(success);
        };
        callbacks->close_connection.callback = [](SmsConn client, SmPointer, int count, char** reasons) {
            SmFreeReasons(count, reasons);
            manager->client = nullptr;
            SmsCleanUp(client);
        };
        callbacks->set_properties.callback = [](SmsConn, SmPointer, int count, SmProp** properties) {
            for (int i = 0; i < count; ++i)
                SmFreeProperty(properties[i]);
            std::free(properties);
        };
        callbacks->delete_properties.callback = [](SmsConn, SmPointer, int count, char** names) {
            for (int i = 0; i < count; ++i)
                std::free(names[i]);
            std::free(names);
        };
        callbacks->get_properties.callback = [](SmsConn client, SmPointer) {
            SmsReturnProperties(client, 0, nullptr);
        };
        return 1;
    }

    int m_listenCount = 0;
    IceListenObj* m_listeners = nullptr;
    std::vector<IceConn> m_connections;
};

class SessionEnd : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(m_manager.problem, "");
        ASSERT_NE(m_manager.address, "");
        ASSERT_TRUE(m_folder.isValid());
    }

    // Starts the application under the session manager and waits until it has registered. What goes
    // wrong in it shows on the test's own standard error.
    void startApp(const QStringList& arguments)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("SESSION_MANAGER", QString::fromStdString(m_manager.address));
        environment.insert("QT_QPA_PLATFORM", "xcb");
        // Drawn as on a server without direct rendering: Mesa's emulated OpenGL is unloaded at exit with
        // memory the leak check would blame on the application.
        environment.insert("QT_QUICK_BACKEND", "software");
        environment.insert("XDG_STATE_HOME", m_folder.filePath("state"));
        m_app.setProcessEnvironment(environment);
        m_app.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_app.start(QStringLiteral(LOOPWREN_SESSION_APP), arguments);
        ASSERT_TRUE(m_app.waitForStarted(kProcessTimeoutMs));
        ASSERT_TRUE(m_manager.serveUntil([&] {
            return m_manager.registered && output().contains("ready\n");
        })) << "the application did not register: "
            << output().toStdString();
    }

    // Without an event loop, QProcess reads the child's output only when asked to wait for it.
    QString output()
    {
        m_app.waitForReadyRead(0);
        m_output += m_app.readAllStandardOutput();
        return QString::fromUtf8(m_output);
    }
    QStringList messages() { return output().split(u'\n').filter(QStringLiteral("message dialog: ")); }

    // The session ends: SaveYourself with a global save and shutdown set, letting the application
    // interact with the user or not; waits until it has answered for the nth time.
    void endSession(bool interact, std::size_t nth)
    {
        SmsSaveYourself(m_manager.client, SmSaveGlobal, True,
                        interact ? SmInteractStyleAny : SmInteractStyleNone, False);
        ASSERT_TRUE(m_manager.serveUntil([&] { return m_manager.saveYourselfDone.size() == nth; }))
            << output().toStdString();
    }

    // Tells the application to end and waits until it has.
    void die()
    {
        SmsDie(m_manager.client);
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
    endSession(true, 1);
    EXPECT_EQ(m_manager.interactDone, std::vector<bool>{true}) << "Cancel asks to cancel the logout";
    EXPECT_EQ(m_manager.saveYourselfDone, std::vector<bool>{false});
    SmsShutdownCancelled(m_manager.client);
    EXPECT_EQ(messages().size(), 1);
    endSession(true, 2);
    EXPECT_EQ(m_manager.interactDone, (std::vector<bool>{true, false}));
    EXPECT_EQ(m_manager.saveYourselfDone.back(), true);
    die();
    EXPECT_EQ(messages(),
              (QStringList(2, QStringLiteral("message dialog: Save Last Recording? | You have recorded actions in "
                                             "your timeline. Would you like to save them before exiting? "
                                             "| Save, Don't Save, Cancel"))));
}

TEST_F(SessionEnd, WithoutInteractionTheTimelineIsKeptForRecovery)
{
    startApp({});
    endSession(false, 1);
    die();
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_EQ(m_manager.interactRequests, 0);
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
