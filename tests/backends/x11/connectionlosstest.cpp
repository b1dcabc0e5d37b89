#include "hotkey.h"
#include "serverstate.h"
#include "x11connection.h"
#include "x11inputmonitor.h"
#include "x11inputposter.h"
#include "x11testsupport.h"

#include <gtest/gtest.h>

// After gtest: Xlib defines None, which gtest uses as a name.
#include <X11/Xlib.h>

namespace loopwren {
namespace {

using namespace x11test;
using namespace test;

// Xlib's defaults end the process on a protocol error and when a connection is lost. Here a request
// fails, then the server dies under a running capture and a poster: the process must live on and the
// objects must wind down cleanly. Xlib does not refuse requests on a lost connection either: it queues
// them in a buffer nothing empties any more and, once that is full, hands XTEST a null request to fill.
// An endless playback keeps posting after its server died, so the poster must stop talking to the
// connection altogether.
TEST(X11ConnectionLoss, AFailedRequestOrALostServerEndsNotTheProcess)
{
    PrivateXServer server;
    ASSERT_NE(server.display(), "");
    X11InputMonitor monitor(server.display(), ClickSettings{});
    std::vector<InputEvent> events;
    const auto token = monitor.watch({InputKind::keyDown, InputKind::keyUp, InputKind::modifiersChanged},
                                     [&](const InputEvent& e) { events.push_back(e); });
    ASSERT_TRUE(token);
    auto poster = X11InputPoster::create(server.display());
    ASSERT_NE(poster, nullptr);
    const auto observer = X11Connection::open(server.display());
    ASSERT_NE(observer, nullptr);
    // A protocol error on our connection is logged and survived: no such window, so the server answers
    // BadWindow (3) to DestroyWindow (request 4).
    ::testing::internal::CaptureStdout();
    XDestroyWindow(observer->display(), 0x7ffffff);
    XSync(observer->display(), False);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              "LoopWren X11: protocol error 3 on request 4.0 (resource 0x7ffffff)\n");
    EXPECT_FALSE(observer->isBroken());
    poster->postKey(0, true, modifier::shift);
    poster->postKey(0, false, modifier::shift);
    poster->releaseAll();
    EXPECT_TRUE(eventually([&] { return events.size() >= 4; }));
    poster->postKey(0, true, modifier::shift);

    server.stop();
    // Far more requests than Xlib's buffer holds, of every kind the poster sends.
    for (int i = 0; i < 5000; ++i) {
        poster->warpPointer({double(i % 100), 1});
        poster->postMouseMoved({1, double(i % 100)}, modifier::control);
        poster->postMouseButton(MouseButtonType::left, i % 2 == 0, {2, 2}, 0);
        poster->postKey(0, i % 2 == 0, modifier::alt);
        poster->postScrollNotch(ScrollDirection::down, std::nullopt);
    }
    poster->releaseAll();
    poster.reset();
    settle();
    // Held input is unknown once the server is gone, not whatever Xlib's reply buffer happened to hold.
    EXPECT_FALSE(queryHeldKeycodes(*observer));
    EXPECT_FALSE(queryPointer(*observer));
    // A new monitor cannot be had from a server that is gone; removing the old one still works.
    EXPECT_FALSE(monitor.watch({InputKind::keyDown}, [](const InputEvent&) {}));
    monitor.stopWatching(*token);
    EXPECT_EQ(X11InputPoster::create(server.display()), nullptr);
}

} // namespace
} // namespace loopwren
