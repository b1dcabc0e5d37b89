#pragma once

#include "conversation.h"
#include "seatdevices.h"
#include "sessionauthority.h"

#include <sys/types.h>

#include <cstdint>
#include <list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct sd_event;
struct sd_event_source;
struct sd_bus;
struct sd_bus_slot;

namespace loopwren::inputd {

// Lends the seat's input devices to callers on the listening socket. A caller is known by the kernel's
// word about its socket (SO_PEERCRED), never by what it says; it is admitted while its login session is
// active, local, on a seat and its own, and polkit allows it. Every handle lent is also kept here, so
// that it can be revoked (EVIOCREVOKE kills the shared open file, the caller's copy with it) when the
// session stops being active, the caller goes or stops, or the service ends.
class InputService
{
public:
    // idleUsec: how long the service waits without callers before it ends the event loop.
    InputService(sd_event* event, sd_bus* bus, int listenFd, std::uint64_t idleUsec);
    ~InputService(); // revokes everything still lent
    InputService(const InputService&) = delete;
    InputService& operator=(const InputService&) = delete;

private:
    struct Lease
    {
        std::string path;
        int fd = -1;
        sd_event_source* hangup = nullptr;
    };
    struct Caller
    {
        InputService* service = nullptr;
        int fd = -1;
        pid_t pid = 0;
        uid_t uid = 0;
        std::uint64_t startTime = 0;
        sd_event_source* io = nullptr;
        Conversation conversation{Conversation::Side::service};
        std::optional<std::string> pending; // the path asked for, while polkit is asked
        std::optional<SessionState> session;
        bool admitted = false;
        sd_bus_slot* policyCall = nullptr;
        sd_bus_slot* sessionWatch = nullptr;
        std::list<Lease> leases;
    };
    using CallerRef = std::list<Caller>::iterator;

    static int onConnection(sd_event_source*, int fd, std::uint32_t, void* self);
    static int onCallerIo(sd_event_source*, int fd, std::uint32_t events, void* caller);
    static int onLeaseHangup(sd_event_source*, int fd, std::uint32_t, void* caller);
    static int onIdle(sd_event_source*, std::uint64_t, void* self);

    void accept();
    void receive(Caller& caller);
    void lend(Caller& caller, const std::string& path);
    void admitAndLend(Caller& caller, const std::string& path);
    void handOut(Caller& caller, const std::string& path);
    void sessionChanged(Caller& caller, std::optional<Reason> evident);
    void revokeAll(Caller& caller, std::optional<Reason> reason);
    void answer(Caller& caller, const Message& message, int handle = -1);
    void refuse(Caller& caller, const std::string& path, Reason reason);
    void drop(Caller& caller, const char* why);
    void armIdleTimer();

    sd_event* m_event;
    sd_bus* m_bus;
    int m_listenFd;
    std::uint64_t m_idleUsec;
    sd_event_source* m_listen = nullptr;
    sd_event_source* m_idle = nullptr;
    SessionAuthority m_authority;
    SeatDevices m_devices;
    std::list<Caller> m_callers;
};

} // namespace loopwren::inputd
