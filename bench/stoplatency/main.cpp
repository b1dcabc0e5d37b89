// Stop latency of --stop-on-input on X11. A nested Xephyr on $DISPLAY (run under scripts/with-x11.sh)
// is the desktop; loopwren-cli plays an endless stream of key presses there, a key typed into Xephyr's
// window through xdotool is the user's input, and the nested server's own time stamps (milliseconds)
// of that key and of the playback's last XTEST input give the latency. Prints the median and p99.

#include "keymacro.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <optional>
#include <set>
#include <thread>
#include <vector>

namespace {

struct Listener
{
    Display* display = nullptr;
    int opcode = 0;
    std::set<int> xtest;
    std::optional<Time> userKey;   // the first key of a device other than XTEST's
    std::optional<Time> lastOwn;   // the last input of XTEST's devices
    std::optional<Time> lastPress; // the last key press of XTEST's devices
    int ownPresses = 0;

    bool open(const std::string& name)
    {
        display = XOpenDisplay(name.c_str());
        int event = 0, error = 0;
        if (!display || !XQueryExtension(display, "XInputExtension", &opcode, &event, &error))
            return false;
        int count = 0;
        XIDeviceInfo* devices = XIQueryDevice(display, XIAllDevices, &count);
        for (int i = 0; i < count; ++i) {
            if (std::strstr(devices[i].name, "XTEST"))
                xtest.insert(devices[i].deviceid);
        }
        XIFreeDeviceInfo(devices);
        unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
        XIEventMask mask{XIAllDevices, sizeof(bits), bits};
        for (int type : {XI_RawKeyPress, XI_RawKeyRelease, XI_RawButtonPress, XI_RawButtonRelease})
            XISetMask(bits, type);
        XISelectEvents(display, DefaultRootWindow(display), &mask, 1);
        XSync(display, False);
        return true;
    }

    void reset()
    {
        userKey.reset();
        lastOwn.reset();
        lastPress.reset();
        ownPresses = 0;
    }

    void drain()
    {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.xcookie.type != GenericEvent || event.xcookie.extension != opcode ||
                !XGetEventData(display, &event.xcookie))
                continue;
            const auto* raw = static_cast<const XIRawEvent*>(event.xcookie.data);
            if (raw->deviceid == raw->sourceid) {
                if (xtest.count(raw->sourceid)) {
                    lastOwn = raw->time;
                    if (raw->evtype == XI_RawKeyPress) {
                        lastPress = raw->time;
                        ++ownPresses;
                    }
                } else if (raw->evtype == XI_RawKeyPress && !userKey) {
                    userKey = raw->time;
                }
            }
            XFreeEventData(display, &event.xcookie);
        }
    }
};

bool run(const QStringList& arguments)
{
    return QProcess::execute(arguments.first(), arguments.mid(1)) == 0;
}

double percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, static_cast<std::size_t>(p * (values.size() - 1) + 0.5))];
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 50;
    QTemporaryDir folder;

    // Xephyr picks a free display and writes its number.
    QProcess xephyr;
    xephyr.start("Xephyr", {"-displayfd", "1", "-noreset", "-nolisten", "tcp", "-screen", "640x480", "-title",
                            "LoopWren stop latency"});
    if (!xephyr.waitForReadyRead(20000)) {
        std::fputs("stop_latency: Xephyr did not start\n", stderr);
        return 1;
    }
    const std::string nested = ":" + xephyr.readLine().trimmed().toStdString();
    run({"xdotool", "search", "--sync", "--name", "LoopWren stop latency", "windowfocus", "--sync", "%1"});

    Listener listener;
    if (!listener.open(nested)) {
        std::fputs("stop_latency: no XInput 2 on the nested display\n", stderr);
        return 1;
    }
    const QString path = folder.filePath("keys.json");
    if (!writeKeyMacro(path))
        return 1;

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", QString::fromStdString(nested));
    environment.insert("XDG_CONFIG_HOME", folder.filePath("config"));
    std::vector<double> toLast, toLastPress;
    for (int round = 0; round < rounds; ++round) {
        listener.drain();
        listener.reset();
        QProcess player;
        player.setProcessEnvironment(environment);
        player.start(LOOPWREN_CLI, {"play", path, "--infinite", "--stop-on-input"});
        // Under way once it has posted a few presses.
        while (listener.ownPresses < 5 && player.state() != QProcess::NotRunning) {
            player.waitForFinished(1);
            listener.drain();
        }
        run({"xdotool", "key", "x"});
        player.waitForFinished(30000);
        listener.drain();
        if (!listener.userKey || !listener.lastOwn || !listener.lastPress) {
            std::fprintf(stderr, "stop_latency: round %d saw no user key or no playback\n", round);
            continue;
        }
        toLast.push_back(static_cast<double>(*listener.lastOwn) - static_cast<double>(*listener.userKey));
        toLastPress.push_back(static_cast<double>(*listener.lastPress) - static_cast<double>(*listener.userKey));
    }
    if (toLast.empty())
        return 1;
    std::printf("stop latency over %zu rounds (nested server time, 1 ms resolution)\n", toLast.size());
    std::printf("  user key -> last posted input (releases included): median %.0f ms, p99 %.0f ms\n",
                percentile(toLast, 0.5), percentile(toLast, 0.99));
    std::printf("  user key -> last posted key press:                 median %.0f ms, p99 %.0f ms\n",
                percentile(toLastPress, 0.5), percentile(toLastPress, 0.99));
    XCloseDisplay(listener.display);
    xephyr.kill();
    xephyr.waitForFinished();
    return 0;
}
