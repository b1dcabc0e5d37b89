#include "conversation.h"

namespace loopwren::inputd {

bool Conversation::accept(const Message& message)
{
    return m_side == Side::service ? acceptRequest(message) : acceptAnswer(message);
}

bool Conversation::ask(const Message& request)
{
    if (m_side != Side::caller)
        return false;
    return acceptRequest(request);
}

bool Conversation::acceptRequest(const Message& message)
{
    if (m_stopped || m_pending)
        return false;
    if (message.type == MessageType::stop) {
        m_stopped = true;
        m_lent.clear();
        return true;
    }
    if (message.type != MessageType::lend)
        return false;
    m_pending = message.path;
    return true;
}

bool Conversation::acceptAnswer(const Message& message)
{
    switch (message.type) {
    case MessageType::lent:
        if (m_pending != message.path)
            return false;
        m_pending.reset();
        m_lent.insert(message.path);
        return true;
    case MessageType::refused:
        // An empty path refuses the whole conversation, asked or not (a malformed request, say).
        if (message.path.empty()) {
            m_pending.reset();
            return true;
        }
        if (m_pending != message.path)
            return false;
        m_pending.reset();
        return true;
    case MessageType::removed:
        return m_lent.erase(message.path) == 1;
    case MessageType::revoked:
        m_lent.clear();
        return true;
    case MessageType::lend:
    case MessageType::stop:
        break;
    }
    return false;
}

} // namespace loopwren::inputd
