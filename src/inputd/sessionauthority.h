#pragma once

#include "inputdmessage.h"

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

struct sd_bus;
struct sd_bus_slot;

namespace loopwren::inputd {

// A login session as logind describes it now.
struct SessionState
{
    std::string objectPath;
    std::string seat; // empty when the session sits on no seat
    uid_t user = 0;
    bool active = false;
    bool remote = false;
    bool locked = false;
};

// Who may borrow input: logind says which session a process belongs to and whether that session is in
// front of its seat; polkit says whether the administrator lets it record. Both are asked on the system
// bus, about a caller known only by what the kernel told about its socket.
class SessionAuthority
{
public:
    static constexpr const char* action = "io.github.loopwren.record-input";

    explicit SessionAuthority(sd_bus* bus) : m_bus(bus) {}

    std::optional<std::string> sessionOf(pid_t pid) const;
    std::optional<SessionState> read(const std::string& objectPath) const;
    // Why a session may not borrow input for uid now, or nothing when it may.
    static std::optional<Reason> refusal(const SessionState& session, uid_t uid);

    // Asks polkit about the process (pid, its start time, uid); done(allowed) runs from the event loop.
    // The returned slot cancels the question when released. An administrator's rule may make polkit ask
    // the user to authenticate first, so the answer may take as long as the user does.
    sd_bus_slot* checkPolicy(pid_t pid, std::uint64_t startTime, uid_t uid, std::function<void(bool)> done);
    // What a change signal of logind says at once, without asking again: why the session may no
    // longer borrow input, when the signal carries that (Active false, LockedHint true).
    using Changed = std::function<void(std::optional<Reason> evident)>;
    // Calls changed() whenever logind reports a change of the session's properties.
    sd_bus_slot* watch(const std::string& objectPath, Changed changed);

    // The start time of a process in clock ticks since boot (/proc/PID/stat, field 22), 0 when unknown.
    static std::uint64_t startTimeOf(pid_t pid);

private:
    sd_bus* m_bus;
};

} // namespace loopwren::inputd
