#pragma once

#include "clickcounter.h"
#include "inputmonitor.h"

#include <chrono>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class QObject;

namespace loopwren {

class X11RecordSession;

// Watches the user's input through the RECORD extension. Construct, use and destroy it on the Qt main
// thread: handlers run there, from the event loop.
//
// RECORD sees the input of every client, this application's windows included. The capture runs while
// anything is watched. Its thread stamps each input as it is read and hands batches over to the main
// thread: one queued call drains everything that piled up since the last, so bursts of thousands of
// motion events do not flood the event loop.
class X11InputMonitor : public InputMonitor
{
public:
    // An empty display name means $DISPLAY. The double-click rules come from QStyleHints when a
    // QGuiApplication exists, else from ClickSettings' defaults.
    explicit X11InputMonitor(std::string displayName = {});
    X11InputMonitor(std::string displayName, ClickSettings clicks);
    ~X11InputMonitor() override;
    X11InputMonitor(const X11InputMonitor&) = delete;
    X11InputMonitor& operator=(const X11InputMonitor&) = delete;

    std::optional<Token> watch(InputKinds kinds, Handler handler) override;
    void stopWatching(Token token) override;
    void finishWatching(Token token) override;

private:
    struct Watch
    {
        InputKinds kinds;
        // Shared so a handler that removes its own monitor is not destroyed while it runs.
        std::shared_ptr<const Handler> handler;
        // Input read before the watch began is not its business.
        std::chrono::steady_clock::time_point since;
    };

    bool ensureCapture();
    void stopCapture();
    void receive(std::vector<InputEvent>&& batch); // capture thread
    void drain();                                  // main thread
    void dispatch(const InputEvent& event);

    std::string m_displayName;
    ClickSettings m_clicks;
    std::unique_ptr<QObject> m_receiver; // lives on the main thread; target of the queued drains
    std::map<Token, Watch> m_watches;
    Token m_nextToken = 1;

    std::mutex m_pendingMutex;
    std::vector<InputEvent> m_pending; // filled by the capture thread
    bool m_drainQueued = false;
    // Inputs taken from m_pending and not yet dispatched. A handler that spins a nested event loop
    // continues from here, which keeps delivery in order.
    std::deque<InputEvent> m_ready;

    std::unique_ptr<X11RecordSession> m_session; // last: stopped before the rest goes
};

} // namespace loopwren
