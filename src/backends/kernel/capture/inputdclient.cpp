#include "inputdclient.h"

#include "packetsocket.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>

namespace loopwren {
namespace {

using inputd::Message;
using inputd::MessageType;
using inputd::Reason;

// Where systemd finds units the package or an administrator installed.
constexpr std::array kUnitFolders = {"/etc/systemd/system/", "/usr/lib/systemd/system/", "/lib/systemd/system/",
                                     "/usr/local/lib/systemd/system/"};

bool unitInstalled()
{
    for (const char* folder : kUnitFolders) {
        if (::access((std::string(folder) + "loopwren-inputd.socket").c_str(), F_OK) == 0)
            return true;
    }
    return false;
}

} // namespace

std::unique_ptr<InputdClient> InputdClient::connect(const std::string& socketPath)
{
    const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (fd < 0 || socketPath.size() >= sizeof address.sun_path) {
        if (fd >= 0)
            ::close(fd);
        return nullptr;
    }
    std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<InputdClient>(new InputdClient(fd));
}

InputdClient::Standing InputdClient::standing(const std::string& devicePath, std::optional<Reason>* reason)
{
    const auto client = connect();
    if (!client)
        return unitInstalled() ? Standing::notRunning : Standing::notInstalled;
    const Lent lent = client->lend(devicePath);
    if (lent.fd >= 0) {
        ::close(lent.fd);
        return Standing::lends;
    }
    if (reason)
        *reason = lent.refusal;
    switch (lent.refusal.value_or(Reason::serviceStopping)) {
    case Reason::policy:
        return Standing::policyRefused;
    case Reason::notInSession:
    case Reason::sessionInactive:
    case Reason::sessionRemote:
    case Reason::noSeat:
    case Reason::otherUser:
    case Reason::sessionLocked:
        return Standing::sessionRefused;
    default:
        return Standing::otherRefusal;
    }
}

const char* InputdClient::describe(Standing standing)
{
    switch (standing) {
    case Standing::lends:
        return "lends input to this session";
    case Standing::notInstalled:
        return "not installed";
    case Standing::notRunning:
        return "not running";
    case Standing::sessionRefused:
        return "session not active or remote";
    case Standing::policyRefused:
        return "refused by the administrator's policy";
    case Standing::otherRefusal:
        return "refused";
    }
    return "unknown";
}

InputdClient::~InputdClient()
{
    // Closing alone gives everything back; the stop says it was meant.
    const auto bytes = inputd::encode({MessageType::stop, {}});
    ::send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    ::close(m_fd);
}

InputdClient::Lent InputdClient::lend(const std::string& path)
{
    const Message request{MessageType::lend, path};
    if (m_revoked || !m_conversation.ask(request))
        return {-1, m_revoked.value_or(Reason::badMessage)};
    const auto bytes = inputd::encode(request);
    if (::send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(bytes.size())) {
        m_revoked = Reason::serviceStopping;
        return {-1, m_revoked};
    }
    // Notices about other devices may come before the answer.
    while (m_conversation.waiting()) {
        int handle = -1;
        const auto message = receive(&handle, true);
        if (!message) {
            m_revoked = m_revoked.value_or(Reason::serviceStopping);
            return {-1, m_revoked};
        }
        if (message->type == MessageType::lent)
            return {handle, std::nullopt};
        if (message->type == MessageType::refused)
            return {-1, message->reason};
        note(*message);
    }
    return {-1, Reason::badMessage};
}

std::optional<Reason> InputdClient::readNotices()
{
    for (;;) {
        int handle = -1;
        const auto message = receive(&handle, false);
        if (!message)
            break;
        note(*message);
    }
    return m_revoked;
}

void InputdClient::note(const Message& message)
{
    if (message.type == MessageType::revoked)
        m_revoked = message.reason;
}

std::optional<Message> InputdClient::receive(int* handle, bool wait)
{
    inputd::ReceivedPacket packet = inputd::receivePacket(m_fd, !wait);
    if (packet.size < 0 && !wait && (packet.error == EAGAIN || packet.error == EWOULDBLOCK))
        return std::nullopt;
    const int handles = static_cast<int>(packet.handles.size());
    if (!packet.handles.empty()) {
        // Only the first handle can belong to a message; any more are closed.
        *handle = packet.handles.front();
        packet.handles.erase(packet.handles.begin());
        packet.closeHandles();
    }
    const auto parsed = packet.size > 0 && !packet.truncated ? inputd::parse(packet.bytes(), handles) : inputd::Parsed{};
    if (!parsed.message || !m_conversation.accept(*parsed.message)) {
        if (*handle >= 0)
            ::close(*handle);
        *handle = -1;
        // A service that hangs up or speaks out of turn has taken everything back.
        m_revoked = m_revoked.value_or(Reason::serviceStopping);
        return std::nullopt;
    }
    if (parsed.message->type != MessageType::lent && *handle >= 0) {
        ::close(*handle);
        *handle = -1;
    }
    return parsed.message;
}

} // namespace loopwren
