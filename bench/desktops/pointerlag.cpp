// How long a pointer move takes from the compositor to the capture's cache of positions: the bound on
// how far a click recorded while the pointer moves can lie behind it. On a headless KWin (moved through
// its fake-input protocol) and a headless GNOME Shell (moved through mutter's remote desktop), each with
// LoopWren's own connection to it; prints median, 90th percentile and most, in milliseconds.
#include "backendchoice.h"
#include "headlessgnomeshell.h"
#include "headlesskwin.h"
#include "kwinfakepointer.h"
#include "remotepointer.h"
#include "waylanddesktop.h"

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>
#include <thread>
#include <vector>

using namespace loopwren;

namespace {

bool isAt(PointerPositionSource& positions, double x, double y)
{
    const std::optional<Point> at = positions.pointerPosition();
    return at && at->x == x && at->y == y;
}

// Sends each move and watches the cache closely (a coarser wait would dwarf what is measured).
bool measure(const char* desktop, int moves, const std::function<bool(int step)>& move,
             const std::function<bool(int step)>& arrived)
{
    std::vector<double> lags;
    for (int step = 1; step <= moves; ++step) {
        const auto sent = std::chrono::steady_clock::now();
        if (!move(step))
            return false;
        while (!arrived(step)) {
            if (std::chrono::steady_clock::now() - sent > std::chrono::seconds(60))
                return false;
            std::this_thread::sleep_for(std::chrono::microseconds(50));
        }
        lags.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - sent).count());
    }
    std::sort(lags.begin(), lags.end());
    std::printf("%s: pointer move to cache over %d moves: median %.2f ms, 90th %.2f ms, most %.2f ms\n", desktop,
                moves, lags[lags.size() / 2], lags[lags.size() * 9 / 10], lags.back());
    return true;
}

bool kwin(const QString& self)
{
    HeadlessKWin kwin;
    if (!kwin.trust(self, QStringLiteral("org_kde_kwin_fake_input")) || !kwin.start()) {
        std::fprintf(stderr, "KWin: %s\n", qPrintable(kwin.error()));
        return false;
    }
    qputenv("XDG_CURRENT_DESKTOP", "KDE");
    const std::unique_ptr<WaylandDesktop> desktop = chooseWaylandDesktop();
    const std::shared_ptr<PointerPositionSource> positions = desktop ? desktop->pointerPositions({}) : nullptr;
    KWinFakePointer pointer(kwin.runtimeFolder(), kwin.waylandDisplay());
    if (!positions || !pointer.isConnected())
        return false;
    const auto x = [](int step) { return 10.0 + (step * 7) % 1200; };
    const auto y = [](int step) { return 10.0 + (step * 13) % 700; };
    return measure("KWin", 200, [&](int step) { return pointer.moveTo(x(step), y(step)); },
                   [&](int step) { return isAt(*positions, x(step), y(step)); });
}

bool gnome()
{
    HeadlessGnomeShell shell;
    if (!shell.start(true)) {
        std::fprintf(stderr, "GNOME Shell: %s\n", qPrintable(shell.error()));
        return false;
    }
    qputenv("XDG_CURRENT_DESKTOP", "ubuntu:GNOME");
    qputenv("DBUS_SESSION_BUS_ADDRESS", shell.busAddress().toLocal8Bit());
    const std::unique_ptr<WaylandDesktop> desktop = chooseWaylandDesktop();
    const std::shared_ptr<PointerPositionSource> positions = desktop ? desktop->pointerPositions({}) : nullptr;
    RemotePointer pointer(shell.busAddress());
    // Into the bottom-right corner (far beyond it, the pointer stops there), then to a known place.
    if (!positions || !pointer.isStarted() || !pointer.move(5000, 5000) || !pointer.move(-979, -599))
        return false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!isAt(*positions, 300, 200)) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return measure("GNOME Shell", 100, [&](int) { return pointer.move(1, 1); },
                   [&](int step) { return isAt(*positions, 300 + step, 200 + step); });
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    const QString which = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    bool ok = true;
    if (which.isEmpty() || which == QLatin1String("kwin"))
        ok = kwin(QCoreApplication::applicationFilePath()) && ok;
    if (which.isEmpty() || which == QLatin1String("gnome"))
        ok = gnome() && ok;
    return ok ? 0 : 1;
}
