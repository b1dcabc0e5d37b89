#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace loopwren::inputd {

// The socket of LoopWren's input service: one message per packet (SOCK_SEQPACKET), so a packet is a
// whole message or is refused; a lent handle rides along with its message.
inline constexpr const char* socketPath = "/run/loopwren/inputd.sock";

// A packet: version, type, payload length (little endian, 16 bits), payload.
inline constexpr std::uint8_t protocolVersion = 1;
inline constexpr std::size_t headerSize = 4;
inline constexpr std::size_t maxPathLength = 64;
inline constexpr std::size_t maxMessageSize = headerSize + 1 + maxPathLength;

enum class MessageType : std::uint8_t
{
    // From the caller.
    lend = 1, // path: the device wanted
    stop = 2, // give back everything lent
    // From the service.
    lent = 16,    // path, and its handle
    removed = 17, // path: the device is gone
    revoked = 18, // reason: every lent handle is dead
    refused = 19, // reason, and the path asked for (empty when the whole conversation is refused)
};

// Why the service refuses or revokes. Stored on the wire: append only.
enum class Reason : std::uint8_t
{
    notInSession = 1,   // the caller belongs to no login session
    sessionInactive,    // its session is not the one in front of the seat
    sessionRemote,      // its session is remote
    noSeat,             // its session sits on no seat
    otherUser,          // the session is another user's
    policy,             // polkit says no
    notAllowedDevice,   // the path is not one of the seat's input devices
    noSuchDevice,       // the device is gone or cannot be opened
    badMessage,         // malformed or out of order
    serviceStopping,    // the service is ending
    sessionLocked,      // logind says the session is locked
};
inline constexpr std::uint8_t lastReason = static_cast<std::uint8_t>(Reason::sessionLocked);

struct Message
{
    MessageType type = MessageType::stop;
    std::string path;
    Reason reason = Reason::badMessage;

    bool operator==(const Message&) const = default;
};

enum class ParseError
{
    truncated,     // shorter than its header says
    oversized,     // longer than any message may be, or than its header says
    badVersion,
    unknownType,
    badPath,       // empty where one is needed, too long or holding NUL or '/'-less text
    badReason,
    wrongHandles,  // a handle where none belongs, or none where one does
};

struct Parsed
{
    std::optional<Message> message;
    ParseError error = ParseError::truncated;
};

// A message as it goes on the wire; handleCount is how many handles came with the packet.
std::vector<std::uint8_t> encode(const Message& message);
Parsed parse(std::span<const std::uint8_t> packet, int handleCount);

const char* describe(Reason reason);
const char* describe(ParseError error);

} // namespace loopwren::inputd
