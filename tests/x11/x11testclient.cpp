// A stand-in for a running application: maps plain 320x200 top-level windows with the given WM_CLASS
// and its own process id, prints their ids once all are mapped, and then stays until it is killed.
//
//   x11_test_client --instance wren --class Wren [--windows N] [--no-pid]
//                   [--type normal|dialog|utility] [--skip-taskbar] [--display D]
//
// Output: one line "windows 0x... 0x...", in mapping order. Exit status 2 on bad arguments or no display.
#include "x11connection.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Options
{
    std::string instance = "testclient";
    std::string className = "TestClient";
    std::string display;
    std::string type = "normal";
    int windows = 1;
    long pid = static_cast<long>(getpid());
    bool skipTaskbar = false;
};

bool parse(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        const bool hasValue = i + 1 < argc;
        if (word == "--no-pid") {
            options.pid = 0;
        } else if (word == "--skip-taskbar") {
            options.skipTaskbar = true;
        } else if (!hasValue) {
            return false;
        } else if (word == "--instance") {
            options.instance = argv[++i];
        } else if (word == "--class") {
            options.className = argv[++i];
        } else if (word == "--display") {
            options.display = argv[++i];
        } else if (word == "--type") {
            options.type = argv[++i];
        } else if (word == "--windows") {
            options.windows = std::atoi(argv[++i]);
        } else {
            return false;
        }
    }
    return options.windows > 0;
}

Atom atom(Display* display, const char* name) { return XInternAtom(display, name, False); }

Window createWindow(Display* display, const Options& options, int index)
{
    const Window root = DefaultRootWindow(display);
    XSetWindowAttributes attributes{};
    attributes.background_pixel = WhitePixel(display, DefaultScreen(display));
    attributes.event_mask = StructureNotifyMask;
    const Window window = XCreateWindow(display, root, 40 * index, 40 * index, 320, 200, 0, CopyFromParent,
                                        InputOutput, CopyFromParent, CWBackPixel | CWEventMask, &attributes);

    XClassHint classHint{const_cast<char*>(options.instance.c_str()),
                         const_cast<char*>(options.className.c_str())};
    XSetClassHint(display, window, &classHint);
    XStoreName(display, window, ("Test client " + std::to_string(index + 1)).c_str());
    // Takes the keyboard focus when the window manager offers it, as ordinary applications do.
    XWMHints hints{};
    hints.flags = InputHint | StateHint;
    hints.input = True;
    hints.initial_state = NormalState;
    XSetWMHints(display, window, &hints);
    if (options.pid != 0) {
        const long pid = options.pid;
        XChangeProperty(display, window, atom(display, "_NET_WM_PID"), XA_CARDINAL, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&pid), 1);
    }
    const std::string typeName = "_NET_WM_WINDOW_TYPE_" + [&] {
        std::string upper = options.type;
        for (char& c : upper)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return upper;
    }();
    const Atom type = atom(display, typeName.c_str());
    XChangeProperty(display, window, atom(display, "_NET_WM_WINDOW_TYPE"), XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&type), 1);
    if (options.skipTaskbar) {
        // Set before mapping: the window manager reads the initial state when it takes the window on.
        const Atom state = atom(display, "_NET_WM_STATE_SKIP_TASKBAR");
        XChangeProperty(display, window, atom(display, "_NET_WM_STATE"), XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&state), 1);
    }
    return window;
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!parse(argc, argv, options)) {
        std::fprintf(stderr, "x11_test_client: bad arguments\n");
        return 2;
    }
    const auto connection = loopwren::X11Connection::open(options.display);
    if (!connection) {
        std::fprintf(stderr, "x11_test_client: cannot open the display\n");
        return 2;
    }
    Display* display = connection->display();

    std::vector<Window> windows;
    for (int i = 0; i < options.windows; ++i) {
        const Window window = createWindow(display, options, i);
        XMapWindow(display, window);
        // One at a time, so the window manager's list has them in this order.
        XEvent event;
        do {
            XWindowEvent(display, window, StructureNotifyMask, &event);
        } while (event.type != MapNotify);
        windows.push_back(window);
    }
    std::printf("windows");
    for (const Window window : windows)
        std::printf(" 0x%lx", window);
    std::printf("\n");
    std::fflush(stdout);

    while (!connection->isBroken()) {
        XEvent event;
        XNextEvent(display, &event);
    }
    return 0;
}
