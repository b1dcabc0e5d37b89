#pragma once

#include "inputmonitor.h"

#include <chrono>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

class QObject;

namespace loopwren {

// The watches of an input monitor and the hand-over of its inputs from the capture thread to them.
// Construct, use and destroy it on the Qt main thread, except receive(), which the capture thread
// calls: one queued call drains everything that piled up since the last, so bursts of thousands of
// motion events do not flood the event loop, and handlers run one input at a time, in order.
class InputDelivery
{
public:
    using Token = InputMonitor::Token;

    InputDelivery();
    // Discards any drain still queued.
    ~InputDelivery();
    InputDelivery(const InputDelivery&) = delete;
    InputDelivery& operator=(const InputDelivery&) = delete;

    Token add(InputKinds kinds, InputMonitor::Handler handler);
    // False when the token watched nothing.
    bool remove(Token token);
    bool isEmpty() const { return m_watches.empty(); }
    // Whether token is the one watch there is: only then may its end also end the capture.
    bool isOnly(Token token) const { return m_watches.size() == 1 && m_watches.contains(token); }
    // Whether any watch takes inputs of that kind.
    bool wants(InputKind kind) const;

    // Capture thread: inputs read in one go, in the order they happened.
    void receive(std::vector<InputEvent>&& batch);
    // Hands everything received so far to the watches.
    void drain();
    // Forgets what was received and not yet handed on, when the capture behind it ends.
    void discard();

private:
    struct Watch
    {
        InputKinds kinds;
        // Shared so a handler that removes its own monitor is not destroyed while it runs.
        std::shared_ptr<const InputMonitor::Handler> handler;
        // Input read before the watch began is not its business.
        std::chrono::steady_clock::time_point since;
    };

    void dispatch(const InputEvent& event);

    std::unique_ptr<QObject> m_receiver; // lives on the main thread; target of the queued drains
    std::map<Token, Watch> m_watches;
    Token m_nextToken = 1;

    std::mutex m_pendingMutex;
    std::vector<InputEvent> m_pending; // filled by the capture thread
    bool m_drainQueued = false;
    // Inputs taken from m_pending and not yet dispatched. A handler that spins a nested event loop
    // continues from here, which keeps delivery in order.
    std::deque<InputEvent> m_ready;
};

} // namespace loopwren
