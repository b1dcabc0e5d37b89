// loopwren-inputd: started by systemd through its socket (loopwren-inputd.socket), it lends the seat's
// input devices to the active local session's LoopWren and ends when nothing has been lent for a while.
// For trying it by hand, --socket PATH listens on a socket of its own instead.

#include "inputdmessage.h"
#include "inputservice.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <systemd/sd-bus.h>
#include <systemd/sd-daemon.h>
#include <systemd/sd-event.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

namespace {

constexpr std::uint64_t kDefaultIdleSeconds = 60;

int listenOn(const std::string& path)
{
    const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (fd < 0 || path.size() >= sizeof address.sun_path)
        return -1;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    ::unlink(path.c_str());
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(fd, 16) != 0) {
        ::close(fd);
        return -1;
    }
    ::chmod(path.c_str(), 0666);
    return fd;
}

int fail(const char* what, int error)
{
    std::printf("LoopWren input service: %s: %s\n", what, std::strerror(error));
    std::fflush(stdout);
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    std::optional<std::string> ownSocket;
    std::uint64_t idleSeconds = kDefaultIdleSeconds;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--socket") == 0)
            ownSocket = argv[i + 1];
        else if (std::strcmp(argv[i], "--idle-seconds") == 0)
            idleSeconds = std::strtoull(argv[i + 1], nullptr, 10);
    }

    int listenFd = -1;
    if (ownSocket) {
        listenFd = listenOn(*ownSocket);
        if (listenFd < 0)
            return fail("cannot listen", errno);
    } else if (sd_listen_fds(1) == 1 &&
               sd_is_socket_unix(SD_LISTEN_FDS_START, SOCK_SEQPACKET, 1, nullptr, 0) > 0) {
        listenFd = SD_LISTEN_FDS_START;
    } else {
        std::printf("LoopWren input service: no socket from systemd (start loopwren-inputd.socket) and no "
                    "--socket PATH\n");
        return 2;
    }

    sd_event* event = nullptr;
    sd_bus* bus = nullptr;
    if (int r = sd_event_default(&event); r < 0)
        return fail("no event loop", -r);
    if (int r = sd_bus_open_system(&bus); r < 0)
        return fail("no system bus", -r);
    sd_bus_attach_event(bus, event, SD_EVENT_PRIORITY_NORMAL);
    // SIGTERM and SIGINT end the loop; what is lent is revoked on the way out.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGINT);
    sigprocmask(SIG_BLOCK, &signals, nullptr);
    sd_event_add_signal(event, nullptr, SIGTERM, nullptr, nullptr);
    sd_event_add_signal(event, nullptr, SIGINT, nullptr, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    int result = 0;
    {
        loopwren::inputd::InputService service(event, bus, listenFd, idleSeconds * 1000 * 1000);
        sd_notify(0, "READY=1");
        result = sd_event_loop(event);
    }
    sd_bus_flush_close_unref(bus);
    sd_event_unref(event);
    if (ownSocket)
        ::unlink(ownSocket->c_str());
    return result < 0 ? 1 : 0;
}
