#include "inputdmessage.h"

namespace loopwren::inputd {
namespace {

bool knownType(std::uint8_t type)
{
    switch (static_cast<MessageType>(type)) {
    case MessageType::lend:
    case MessageType::stop:
    case MessageType::lent:
    case MessageType::removed:
    case MessageType::revoked:
    case MessageType::refused:
        return true;
    }
    return false;
}

bool carriesReason(MessageType type) { return type == MessageType::revoked || type == MessageType::refused; }

bool needsPath(MessageType type)
{
    return type == MessageType::lend || type == MessageType::lent || type == MessageType::removed;
}

bool validPath(const std::string& path, bool required)
{
    if (path.empty())
        return !required;
    if (path.size() > maxPathLength || path.front() != '/')
        return false;
    for (const char c : path) {
        if (c == '\0')
            return false;
    }
    return true;
}

Parsed failure(ParseError error) { return {std::nullopt, error}; }

} // namespace

std::vector<std::uint8_t> encode(const Message& message)
{
    std::vector<std::uint8_t> bytes(headerSize);
    bytes[0] = protocolVersion;
    bytes[1] = static_cast<std::uint8_t>(message.type);
    if (carriesReason(message.type))
        bytes.push_back(static_cast<std::uint8_t>(message.reason));
    if (message.type != MessageType::stop && message.type != MessageType::revoked)
        bytes.insert(bytes.end(), message.path.begin(), message.path.end());
    const std::size_t payload = bytes.size() - headerSize;
    bytes[2] = static_cast<std::uint8_t>(payload & 0xff);
    bytes[3] = static_cast<std::uint8_t>(payload >> 8);
    return bytes;
}

Parsed parse(std::span<const std::uint8_t> packet, int handleCount)
{
    if (packet.size() < headerSize)
        return failure(ParseError::truncated);
    if (packet.size() > maxMessageSize)
        return failure(ParseError::oversized);
    if (packet[0] != protocolVersion)
        return failure(ParseError::badVersion);
    if (!knownType(packet[1]))
        return failure(ParseError::unknownType);
    const std::size_t payload = packet[2] | (std::size_t{packet[3]} << 8);
    if (headerSize + payload > packet.size())
        return failure(ParseError::truncated);
    if (headerSize + payload < packet.size())
        return failure(ParseError::oversized);

    Message message;
    message.type = static_cast<MessageType>(packet[1]);
    auto rest = packet.subspan(headerSize);
    if (carriesReason(message.type)) {
        if (rest.empty())
            return failure(ParseError::truncated);
        if (rest[0] == 0 || rest[0] > lastReason)
            return failure(ParseError::badReason);
        message.reason = static_cast<Reason>(rest[0]);
        rest = rest.subspan(1);
    }
    const bool pathless = message.type == MessageType::stop || message.type == MessageType::revoked;
    if (pathless && !rest.empty())
        return failure(ParseError::oversized);
    message.path.assign(rest.begin(), rest.end());
    if (!validPath(message.path, needsPath(message.type)))
        return failure(ParseError::badPath);
    if (handleCount != (message.type == MessageType::lent ? 1 : 0))
        return failure(ParseError::wrongHandles);
    return {std::move(message), ParseError::truncated};
}

const char* describe(Reason reason)
{
    switch (reason) {
    case Reason::notInSession:
        return "the program belongs to no login session";
    case Reason::sessionInactive:
        return "session not active";
    case Reason::sessionRemote:
        return "session is remote";
    case Reason::noSeat:
        return "session has no seat";
    case Reason::otherUser:
        return "the session belongs to another user";
    case Reason::policy:
        return "refused by the administrator's policy";
    case Reason::notAllowedDevice:
        return "not one of this seat's input devices";
    case Reason::noSuchDevice:
        return "no such device";
    case Reason::badMessage:
        return "malformed or out-of-order message";
    case Reason::serviceStopping:
        return "the input service stopped";
    case Reason::sessionLocked:
        return "session locked";
    }
    return "unknown reason";
}

const char* describe(ParseError error)
{
    switch (error) {
    case ParseError::truncated:
        return "truncated";
    case ParseError::oversized:
        return "oversized";
    case ParseError::badVersion:
        return "unknown version";
    case ParseError::unknownType:
        return "unknown type";
    case ParseError::badPath:
        return "bad path";
    case ParseError::badReason:
        return "unknown reason";
    case ParseError::wrongHandles:
        return "wrong number of handles";
    }
    return "malformed";
}

} // namespace loopwren::inputd
