#pragma once

#include "inputdmessage.h"

#include <set>
#include <string>

namespace loopwren::inputd {

// The order a conversation with the input service keeps, seen from either end. A caller asks for one
// device at a time and waits for its answer; nothing follows its stop. The service answers only what
// was asked, and names as removed only what it lent.
class Conversation
{
public:
    enum class Side
    {
        service, // checks what the caller sends
        caller,  // checks what the service sends
    };

    explicit Conversation(Side side) : m_side(side) {}

    // Whether the message may come now; if so, the conversation moves on.
    bool accept(const Message& message);
    // The caller's own request, before it goes out (the caller side keeps track of what it asked).
    bool ask(const Message& request);
    // The service answered the request it holds.
    void answered() { m_pending.reset(); }

    bool stopped() const { return m_stopped; }
    bool waiting() const { return m_pending.has_value(); }

private:
    bool acceptRequest(const Message& message);
    bool acceptAnswer(const Message& message);

    Side m_side;
    std::optional<std::string> m_pending;
    std::set<std::string> m_lent;
    bool m_stopped = false;
};

} // namespace loopwren::inputd
