#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace loopwren {

// A stand-in for the desktop's session manager (a GUI one cannot be driven reliably from a test): the
// X Session Management Protocol over ICE, as libSM offers it to session managers, with one client at a
// time. It grants every interaction request at once and notes what the client answers, so a test can
// end a session as a logout does and read back how the application took it.
class SessionManagerStandIn
{
public:
    struct Notes
    {
        bool registered = false;
        int interactRequests = 0;
        std::vector<bool> interactDone;     // cancelShutdown of each InteractDone
        std::vector<bool> saveYourselfDone; // success of each SaveYourselfDone
        bool closed = false;
    };

    SessionManagerStandIn();
    ~SessionManagerStandIn();
    SessionManagerStandIn(const SessionManagerStandIn&) = delete;
    SessionManagerStandIn& operator=(const SessionManagerStandIn&) = delete;

    // The value of SESSION_MANAGER that leads a client here; empty when the listener failed (see problem).
    const std::string& address() const { return m_address; }
    const std::string& problem() const { return m_problem; }
    const Notes& notes() const { return m_notes; }

    // Serves the protocol until condition holds or timeout passes; returns the condition.
    bool serveUntil(const std::function<bool()>& condition,
                    std::chrono::milliseconds timeout = std::chrono::seconds(60));

    // The session ends: SaveYourself with a global save and shutdown set, letting the client interact
    // with the user or not.
    void endSession(bool allowInteraction);
    void cancelShutdown();
    void die();

    // For the protocol's callbacks.
    Notes& mutableNotes() { return m_notes; }
    void adopt(void* smsConnection) { m_client = smsConnection; }

private:
    void serveOnce(std::chrono::milliseconds wait);

    std::string m_address;
    std::string m_problem;
    int m_listenCount = 0;
    void** m_listenObjects = nullptr;
    std::vector<void*> m_iceConnections;
    void* m_client = nullptr;
    Notes m_notes;
};

} // namespace loopwren
