#include "inputservice.h"

#include "packetsocket.h"

#include <linux/input.h>
#include <sys/epoll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <systemd/sd-bus.h>
#include <systemd/sd-event.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <variant>

namespace loopwren::inputd {
namespace {

void logLine(const std::string& text)
{
    std::printf("LoopWren input service: %s\n", text.c_str());
    std::fflush(stdout);
}

std::string who(pid_t pid, uid_t uid)
{
    return "pid " + std::to_string(pid) + " (uid " + std::to_string(uid) + ")";
}

} // namespace

InputService::InputService(sd_event* event, sd_bus* bus, int listenFd, std::uint64_t idleUsec)
    : m_event(event), m_bus(bus), m_listenFd(listenFd), m_idleUsec(idleUsec), m_authority(bus)
{
    sd_event_add_io(m_event, &m_listen, m_listenFd, EPOLLIN, &InputService::onConnection, this);
    armIdleTimer();
}

InputService::~InputService()
{
    while (!m_callers.empty())
        drop(m_callers.front(), nullptr);
    sd_event_source_unref(m_idle);
    sd_event_source_unref(m_listen);
}

int InputService::onConnection(sd_event_source*, int, std::uint32_t, void* self)
{
    static_cast<InputService*>(self)->accept();
    return 0;
}

int InputService::onIdle(sd_event_source*, std::uint64_t, void* self)
{
    auto* service = static_cast<InputService*>(self);
    if (service->m_callers.empty()) {
        logLine("nothing lent for a while; ending");
        sd_event_exit(service->m_event, 0);
    }
    return 0;
}

void InputService::armIdleTimer()
{
    if (!m_callers.empty() || m_idleUsec == 0)
        return;
    std::uint64_t now = 0;
    sd_event_now(m_event, CLOCK_MONOTONIC, &now);
    if (m_idle) {
        sd_event_source_set_time(m_idle, now + m_idleUsec);
        sd_event_source_set_enabled(m_idle, SD_EVENT_ONESHOT);
    } else {
        sd_event_add_time(m_event, &m_idle, CLOCK_MONOTONIC, now + m_idleUsec, 0, &InputService::onIdle, this);
    }
}

void InputService::accept()
{
    const int fd = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (fd < 0)
        return;
    ucred credentials{};
    socklen_t length = sizeof credentials;
    if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0 || credentials.pid <= 0) {
        ::close(fd);
        return;
    }
    Caller& caller = m_callers.emplace_back();
    caller.service = this;
    caller.fd = fd;
    caller.pid = credentials.pid;
    caller.uid = credentials.uid;
    // Read at once: the longer the wait, the likelier the pid names another process by then.
    caller.startTime = SessionAuthority::startTimeOf(credentials.pid);
    sd_event_add_io(m_event, &caller.io, fd, EPOLLIN, &InputService::onCallerIo, &caller);
    if (m_idle)
        sd_event_source_set_enabled(m_idle, SD_EVENT_OFF);
}

int InputService::onCallerIo(sd_event_source*, int, std::uint32_t events, void* data)
{
    auto& caller = *static_cast<Caller*>(data);
    if (events & EPOLLIN)
        caller.service->receive(caller);
    else
        caller.service->drop(caller, "went away");
    return 0;
}

void InputService::receive(Caller& caller)
{
    ReceivedPacket packet = receivePacket(caller.fd, true);
    if (packet.size < 0 && (packet.error == EAGAIN || packet.error == EWOULDBLOCK))
        return;
    // Handles a caller sends are never used, only counted: none belongs in a request.
    const int handles = static_cast<int>(packet.handles.size());
    packet.closeHandles();
    if (packet.size <= 0)
        return drop(caller, "went away");
    if (packet.truncated) {
        refuse(caller, {}, Reason::badMessage);
        return drop(caller, "sent an oversized message");
    }
    const Parsed parsed = parse(packet.bytes(), handles);
    if (!parsed.message) {
        refuse(caller, {}, Reason::badMessage);
        return drop(caller, (std::string("sent a malformed message: ") + describe(parsed.error)).c_str());
    }
    if (!caller.conversation.accept(*parsed.message)) {
        refuse(caller, {}, Reason::badMessage);
        return drop(caller, "sent a message out of order");
    }
    if (parsed.message->type == MessageType::stop) {
        revokeAll(caller, std::nullopt);
        return drop(caller, "stopped");
    }
    lend(caller, parsed.message->path);
}

void InputService::lend(Caller& caller, const std::string& path)
{
    // The session is asked again at every request; the watch only speeds up a revocation.
    const std::optional<std::string> sessionPath =
        caller.session ? std::optional(caller.session->objectPath) : m_authority.sessionOf(caller.pid);
    if (!sessionPath)
        return refuse(caller, path, Reason::notInSession);
    caller.session = m_authority.read(*sessionPath);
    if (!caller.session)
        return refuse(caller, path, Reason::notInSession);
    if (const auto reason = SessionAuthority::refusal(*caller.session, caller.uid)) {
        caller.admitted = false;
        return refuse(caller, path, *reason);
    }
    if (caller.admitted)
        return handOut(caller, path);
    admitAndLend(caller, path);
}

void InputService::admitAndLend(Caller& caller, const std::string& path)
{
    if (caller.startTime == 0)
        return refuse(caller, path, Reason::notInSession);
    caller.pending = path;
    Caller* raw = &caller;
    caller.policyCall = m_authority.checkPolicy(caller.pid, caller.startTime, caller.uid, [raw](bool allowed) {
        Caller& caller = *raw;
        caller.policyCall = sd_bus_slot_unref(caller.policyCall);
        const std::string path = caller.pending.value_or(std::string());
        caller.pending.reset();
        if (!allowed) {
            logLine(who(caller.pid, caller.uid) + " refused by the administrator's policy");
            return caller.service->refuse(caller, path, Reason::policy);
        }
        // The session may have changed while polkit was asked.
        caller.session = caller.service->m_authority.read(caller.session->objectPath);
        if (!caller.session)
            return caller.service->refuse(caller, path, Reason::notInSession);
        if (const auto reason = SessionAuthority::refusal(*caller.session, caller.uid))
            return caller.service->refuse(caller, path, *reason);
        caller.admitted = true;
        if (!caller.sessionWatch)
            caller.sessionWatch = caller.service->m_authority.watch(
                caller.session->objectPath,
                [raw](std::optional<Reason> evident) { raw->service->sessionChanged(*raw, evident); });
        logLine(who(caller.pid, caller.uid) + " admitted in session " + caller.session->objectPath);
        caller.service->handOut(caller, path);
    });
}

void InputService::handOut(Caller& caller, const std::string& path)
{
    const auto opened = m_devices.open(path, caller.session->seat);
    if (const Reason* reason = std::get_if<Reason>(&opened))
        return refuse(caller, path, *reason);
    Lease& lease = caller.leases.emplace_back();
    lease.path = path;
    lease.fd = std::get<int>(opened);
    // Only a hang-up is watched: input on the shared open file is the caller's to read.
    sd_event_add_io(m_event, &lease.hangup, lease.fd, EPOLLHUP | EPOLLERR, &InputService::onLeaseHangup, &caller);
    answer(caller, {MessageType::lent, path}, lease.fd);
}

int InputService::onLeaseHangup(sd_event_source* source, int, std::uint32_t, void* data)
{
    auto& caller = *static_cast<Caller*>(data);
    for (auto lease = caller.leases.begin(); lease != caller.leases.end(); ++lease) {
        if (lease->hangup != source)
            continue;
        const std::string path = lease->path;
        sd_event_source_disable_unref(lease->hangup);
        ::close(lease->fd);
        caller.leases.erase(lease);
        caller.service->answer(caller, {MessageType::removed, path});
        break;
    }
    return 0;
}

void InputService::sessionChanged(Caller& caller, std::optional<Reason> evident)
{
    if (!caller.admitted || !caller.session)
        return;
    // A signal that says the session went inactive or locked is acted on at once; any other change is
    // checked by asking logind again.
    std::optional<Reason> reason = evident;
    if (!reason) {
        const auto now = m_authority.read(caller.session->objectPath);
        reason = now ? SessionAuthority::refusal(*now, caller.uid) : Reason::notInSession;
    }
    if (!reason)
        return;
    caller.admitted = false;
    logLine(who(caller.pid, caller.uid) + ": " + describe(*reason) + "; revoking");
    revokeAll(caller, reason);
}

void InputService::revokeAll(Caller& caller, std::optional<Reason> reason)
{
    for (Lease& lease : caller.leases) {
        sd_event_source_disable_unref(lease.hangup);
        ::ioctl(lease.fd, EVIOCREVOKE, nullptr);
        ::close(lease.fd);
    }
    const bool anyLent = !caller.leases.empty();
    caller.leases.clear();
    if (reason && (anyLent || caller.admitted))
        answer(caller, {MessageType::revoked, {}, *reason});
}

void InputService::answer(Caller& caller, const Message& message, int handle)
{
    const auto bytes = encode(message);
    iovec vector{const_cast<std::uint8_t*>(bytes.data()), bytes.size()};
    msghdr header{};
    header.msg_iov = &vector;
    header.msg_iovlen = 1;
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))]{};
    if (handle >= 0) {
        header.msg_control = control;
        header.msg_controllen = sizeof control;
        cmsghdr* part = CMSG_FIRSTHDR(&header);
        part->cmsg_level = SOL_SOCKET;
        part->cmsg_type = SCM_RIGHTS;
        part->cmsg_len = CMSG_LEN(sizeof(int));
        std::memcpy(CMSG_DATA(part), &handle, sizeof handle);
    }
    // A caller that does not read its answers loses them; the service never waits for one.
    ::sendmsg(caller.fd, &header, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (message.type == MessageType::lent || message.type == MessageType::refused)
        caller.conversation.answered();
}

void InputService::refuse(Caller& caller, const std::string& path, Reason reason)
{
    answer(caller, {MessageType::refused, path, reason});
}

void InputService::drop(Caller& caller, const char* why)
{
    if (why)
        logLine(who(caller.pid, caller.uid) + " " + why);
    revokeAll(caller, why ? std::nullopt : std::optional(Reason::serviceStopping));
    sd_bus_slot_unref(caller.policyCall);
    sd_bus_slot_unref(caller.sessionWatch);
    sd_event_source_disable_unref(caller.io);
    ::close(caller.fd);
    for (auto it = m_callers.begin(); it != m_callers.end(); ++it) {
        if (&*it == &caller) {
            m_callers.erase(it);
            break;
        }
    }
    armIdleTimer();
}

} // namespace loopwren::inputd
