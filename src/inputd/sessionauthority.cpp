#include "sessionauthority.h"

#include <systemd/sd-bus.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <type_traits>

namespace loopwren::inputd {
namespace {

constexpr const char* kLogind = "org.freedesktop.login1";
constexpr const char* kSessionInterface = "org.freedesktop.login1.Session";
// Long enough for a user to type a password an administrator's rule asks for.
constexpr std::uint64_t kPolicyTimeoutUsec = 300ULL * 1000 * 1000;

bool readBool(sd_bus* bus, const std::string& path, const char* name, bool& value)
{
    sd_bus_error error = SD_BUS_ERROR_NULL;
    int result = 0;
    const int r = sd_bus_get_property_trivial(bus, kLogind, path.c_str(), kSessionInterface, name, &error, 'b',
                                              &result);
    sd_bus_error_free(&error);
    value = result != 0;
    return r >= 0;
}

// A property whose value is a struct of one plain value and an object path: Seat (so), User (uo).
template <typename Value>
bool readStructFirst(sd_bus* bus, const std::string& path, const char* name, const char* signature,
                     Value& value)
{
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    int r = sd_bus_get_property(bus, kLogind, path.c_str(), kSessionInterface, name, &error, &reply, signature);
    sd_bus_error_free(&error);
    if (r >= 0) {
        const char* object = nullptr;
        if constexpr (std::is_same_v<Value, std::string>) {
            const char* text = nullptr;
            r = sd_bus_message_read(reply, signature, &text, &object);
            value = text ? text : "";
        } else {
            r = sd_bus_message_read(reply, signature, &value, &object);
        }
    }
    sd_bus_message_unref(reply);
    return r >= 0;
}

struct PolicyCall
{
    std::function<void(bool)> done;
};

int policyReply(sd_bus_message* reply, void* userdata, sd_bus_error*)
{
    auto* call = static_cast<PolicyCall*>(userdata);
    int authorized = 0;
    int challenge = 0;
    if (sd_bus_message_is_method_error(reply, nullptr)) {
        std::printf("LoopWren input service: polkit could not be asked: %s\n",
                    sd_bus_message_get_error(reply)->message);
        std::fflush(stdout);
    } else if (sd_bus_message_enter_container(reply, 'r', "bba{ss}") < 0 ||
               sd_bus_message_read(reply, "bb", &authorized, &challenge) < 0) {
        std::printf("LoopWren input service: polkit's answer could not be read\n");
        std::fflush(stdout);
        authorized = 0;
    }
    // Taken out first: answering may release the slot, and with it this call.
    const auto done = std::move(call->done);
    done(authorized != 0);
    return 0;
}

void freePolicyCall(void* userdata) { delete static_cast<PolicyCall*>(userdata); }

struct Watch
{
    SessionAuthority::Changed changed;
};

// Reads PropertiesChanged (interface, changed values, invalidated names) for a verdict it carries.
std::optional<Reason> evidentRefusal(sd_bus_message* signal)
{
    const char* interface = nullptr;
    if (sd_bus_message_read(signal, "s", &interface) < 0 || std::strcmp(interface, kSessionInterface) != 0 ||
        sd_bus_message_enter_container(signal, 'a', "{sv}") < 0)
        return std::nullopt;
    std::optional<Reason> reason;
    while (sd_bus_message_enter_container(signal, 'e', "sv") > 0) {
        const char* name = nullptr;
        int value = 0;
        if (sd_bus_message_read(signal, "s", &name) < 0)
            break;
        const bool flag = std::strcmp(name, "Active") == 0 || std::strcmp(name, "LockedHint") == 0;
        if (flag && sd_bus_message_read(signal, "v", "b", &value) >= 0) {
            if (std::strcmp(name, "Active") == 0 && !value)
                reason = Reason::sessionInactive;
            else if (std::strcmp(name, "LockedHint") == 0 && value && !reason)
                reason = Reason::sessionLocked;
        } else if (sd_bus_message_skip(signal, "v") < 0) {
            break;
        }
        sd_bus_message_exit_container(signal);
    }
    return reason;
}

int propertiesChanged(sd_bus_message* signal, void* userdata, sd_bus_error*)
{
    static_cast<Watch*>(userdata)->changed(evidentRefusal(signal));
    return 0;
}

void freeWatch(void* userdata) { delete static_cast<Watch*>(userdata); }

} // namespace

std::optional<std::string> SessionAuthority::sessionOf(pid_t pid) const
{
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    const int r = sd_bus_call_method(m_bus, kLogind, "/org/freedesktop/login1", "org.freedesktop.login1.Manager",
                                     "GetSessionByPID", &error, &reply, "u", static_cast<std::uint32_t>(pid));
    sd_bus_error_free(&error);
    std::optional<std::string> path;
    const char* object = nullptr;
    if (r >= 0 && sd_bus_message_read(reply, "o", &object) >= 0)
        path = object;
    sd_bus_message_unref(reply);
    return path;
}

std::optional<SessionState> SessionAuthority::read(const std::string& objectPath) const
{
    SessionState state;
    state.objectPath = objectPath;
    std::uint32_t user = 0;
    if (!readBool(m_bus, objectPath, "Active", state.active) || !readBool(m_bus, objectPath, "Remote", state.remote) ||
        !readStructFirst(m_bus, objectPath, "Seat", "(so)", state.seat) ||
        !readStructFirst(m_bus, objectPath, "User", "(uo)", user))
        return std::nullopt;
    // Older logind has no LockedHint; then a lock is not known and not held against the session.
    readBool(m_bus, objectPath, "LockedHint", state.locked);
    state.user = user;
    return state;
}

std::optional<Reason> SessionAuthority::refusal(const SessionState& session, uid_t uid)
{
    if (session.user != uid)
        return Reason::otherUser;
    if (session.remote)
        return Reason::sessionRemote;
    if (session.seat.empty())
        return Reason::noSeat;
    if (!session.active)
        return Reason::sessionInactive;
    if (session.locked)
        return Reason::sessionLocked;
    return std::nullopt;
}

sd_bus_slot* SessionAuthority::checkPolicy(pid_t pid, std::uint64_t startTime, uid_t uid,
                                           std::function<void(bool)> done)
{
    sd_bus_message* call = nullptr;
    int r = sd_bus_message_new_method_call(m_bus, &call, "org.freedesktop.PolicyKit1",
                                           "/org/freedesktop/PolicyKit1/Authority",
                                           "org.freedesktop.PolicyKit1.Authority", "CheckAuthorization");
    if (r >= 0)
        r = sd_bus_message_append(call, "(sa{sv})sa{ss}us", "unix-process", 3, "pid", "u",
                                  static_cast<std::uint32_t>(pid), "start-time", "t", startTime, "uid", "i",
                                  static_cast<std::int32_t>(uid), action, 0,
                                  1u /* AllowUserInteraction */, "");
    sd_bus_slot* slot = nullptr;
    auto* pending = new PolicyCall{std::move(done)};
    if (r >= 0)
        r = sd_bus_call_async(m_bus, &slot, call, policyReply, pending, kPolicyTimeoutUsec);
    sd_bus_message_unref(call);
    if (r < 0) {
        std::printf("LoopWren input service: polkit could not be asked: %s\n", std::strerror(-r));
        std::fflush(stdout);
        pending->done(false);
        delete pending;
        return nullptr;
    }
    sd_bus_slot_set_destroy_callback(slot, freePolicyCall);
    return slot;
}

sd_bus_slot* SessionAuthority::watch(const std::string& objectPath, Changed changed)
{
    sd_bus_slot* slot = nullptr;
    auto* watch = new Watch{std::move(changed)};
    if (sd_bus_match_signal(m_bus, &slot, kLogind, objectPath.c_str(), "org.freedesktop.DBus.Properties",
                            "PropertiesChanged", propertiesChanged, watch) < 0) {
        delete watch;
        return nullptr;
    }
    sd_bus_slot_set_destroy_callback(slot, freeWatch);
    return slot;
}

std::uint64_t SessionAuthority::startTimeOf(pid_t pid)
{
    std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(file, line);
    // The command name may hold spaces and parentheses; the fields start after the last ')'.
    const auto end = line.rfind(')');
    if (end == std::string::npos)
        return 0;
    std::istringstream fields(line.substr(end + 2));
    std::string field;
    // Field 3 (state) is the first after the name; the start time is field 22.
    for (int index = 3; index <= 22 && fields >> field; ++index) {
        if (index == 22)
            return std::strtoull(field.c_str(), nullptr, 10);
    }
    return 0;
}

} // namespace loopwren::inputd
