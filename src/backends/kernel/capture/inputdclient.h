#pragma once

#include "conversation.h"
#include "inputdmessage.h"

#include <memory>
#include <optional>
#include <string>

namespace loopwren {

// LoopWren's side of a conversation with its input service (loopwren-inputd), which lends the seat's
// input devices to the active local session. Used from one thread at a time.
class InputdClient
{
public:
    // Where the service stands for this process, for the doctor and the access box.
    enum class Standing
    {
        lends,          // it lends input to this session
        notInstalled,   // no unit for it on this system
        notRunning,     // installed, but its socket is not there
        sessionRefused, // this session is not active, or remote, or not on a seat
        policyRefused,  // polkit says no
        otherRefusal,   // it answered otherwise (a device it would not lend, say)
    };

    // nullptr when no service listens (not installed or not running).
    static std::unique_ptr<InputdClient> connect(const std::string& socketPath = inputd::socketPath);
    // Whether the service would lend this session the given device now; asks for it and gives it back.
    static Standing standing(const std::string& devicePath, std::optional<inputd::Reason>* reason = nullptr);
    static const char* describe(Standing standing);

    ~InputdClient(); // gives back everything lent
    InputdClient(const InputdClient&) = delete;
    InputdClient& operator=(const InputdClient&) = delete;

    struct Lent
    {
        int fd = -1; // a read-only handle of the device, or -1
        std::optional<inputd::Reason> refusal;
    };
    // Asks for one device and waits for the answer (polkit may first ask the user to authenticate).
    Lent lend(const std::string& path);

    // The socket, to poll for what the service sends unasked.
    int socket() const { return m_fd; }
    // Reads what the service sent unasked; the reason when it took everything back (or went away).
    std::optional<inputd::Reason> readNotices();
    bool revoked() const { return m_revoked.has_value(); }
    std::optional<inputd::Reason> revocation() const { return m_revoked; }

private:
    explicit InputdClient(int fd) : m_fd(fd) {}
    // One message from the service; nothing when the connection broke or the message was bad.
    std::optional<inputd::Message> receive(int* handle, bool wait);
    void note(const inputd::Message& message);

    int m_fd;
    inputd::Conversation m_conversation{inputd::Conversation::Side::caller};
    std::optional<inputd::Reason> m_revoked;
};

} // namespace loopwren
