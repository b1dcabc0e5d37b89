// Replay through the kernel: where an absolute value puts the pointer, what the poster writes to the
// device, and the nudge that gets a repeated value past the kernel.
#include "absolutepointermap.h"
#include "hotkey.h"
#include "kernelinputposter.h"
#include "uinputdevice.h"

#include <gtest/gtest.h>
#include <linux/input-event-codes.h>

#include <cmath>
#include <string>

namespace loopwren {
namespace {

using Value = AbsolutePointerMap::Value;
using enum AbsolutePointerMap::Area;

// What libinput and a compositor make of a value: the logical position it lands at.
double landsAt(int value, double origin, double extent) { return origin + value * extent / 65536.0; }

// The pointer lands at the point or less than a unit past it, never before it: on the pixel the point
// names, and at an output's top left edge on that output, not on its neighbour.
TEST(AbsolutePointerMap, PutsThePointerOnThePixelOfThePointOnEachDesktop)
{
    // A 1920x1080 primary with a 1280x1024 output to its left, a little higher.
    const ScreenLayout two{{{0, 0, 1920, 1080}, {-1280, -100, 1280, 1024}}, 0};
    const AbsolutePointerMap wlroots(two, boundingBox);
    const LogicalRect box = two.bounds();
    EXPECT_TRUE(wlroots.isOnAnOutput({-1280, -100}) && wlroots.isOnAnOutput({1919, 1079}));
    EXPECT_FALSE(wlroots.isOnAnOutput({-1, 1000})) << "beneath the left output, in the bounding box";
    for (const Point p : {Point{0, 0}, Point{1919, 1079}, Point{-1280, -100}, Point{640.5, 300}}) {
        const Value v = *wlroots.valueAt(p);
        EXPECT_GE(landsAt(v.x, box.x, box.width), p.x);
        EXPECT_LT(landsAt(v.x, box.x, box.width), p.x + box.width / 65536) << p.x;
        EXPECT_GE(landsAt(v.y, box.y, box.height), p.y);
        EXPECT_LT(landsAt(v.y, box.y, box.height), p.y + box.height / 65536) << p.y;
    }
    // KWin and mutter map from the origin; a point outside every output is held at the edge.
    const AbsolutePointerMap kwin({{{0, 0, 1280, 800}}, 0}, fromOrigin);
    EXPECT_EQ(kwin.valueAt({1279, 799}), (Value{65485, 65455}));
    EXPECT_EQ(kwin.valueAt({-5, 1e9}), (Value{0, 65535}));
    EXPECT_FALSE(kwin.valueAt({NAN, 1}));
    EXPECT_FALSE(AbsolutePointerMap().valueAt({1, 1})) << "no layout, no position";
}

TEST(UinputDevice, RepeatedAbsoluteValuesGoAfterANudgeAndTheKeysAreAKeyboardsAlone)
{
    std::map<unsigned, int> last{{ABS_X, 0}, {ABS_Y, 0}};
    const DeviceEvent to00[] = {{EV_ABS, ABS_X, 0}, {EV_ABS, ABS_Y, 0}};
    const DeviceEvent to50[] = {{EV_ABS, ABS_X, 5}, {EV_ABS, ABS_Y, 0}};
    using Frames = std::vector<std::vector<DeviceEvent>>;
    EXPECT_EQ(withNudges(to00, last), (Frames{{{EV_ABS, ABS_X, 1}, {EV_ABS, ABS_Y, 1}}, {to00[0], to00[1]}}));
    EXPECT_EQ(withNudges(to50, last), (Frames{{{EV_ABS, ABS_Y, 1}}, {to50[0], to50[1]}}));
    const DeviceEvent key{EV_KEY, KEY_A, 1};
    EXPECT_EQ(withNudges({&key, 1}, last), (Frames{{key}}));

    const std::vector<unsigned> keys = UinputDevice::keyCodes();
    for (unsigned code : keys)
        EXPECT_TRUE(code < BTN_MISC || (code >= KEY_OK && code < BTN_TRIGGER_HAPPY &&
                                        (code < BTN_DPAD_UP || code > BTN_DPAD_RIGHT)))
            << code << " would make it a joystick, gamepad or tablet";
    EXPECT_TRUE(std::find(keys.begin(), keys.end(), KEY_LEFTMETA) != keys.end());
}

// Each frame as a line: "key 30 1", "abs 0 65535", "rel 8 -1"; frames separated by " | ".
class RecordingDevice : public InputEventSink
{
public:
    bool sendFrame(std::span<const DeviceEvent> events) override
    {
        std::string frame;
        for (const DeviceEvent& e : events)
            frame += (frame.empty() ? "" : ", ") +
                     std::string(e.type == EV_KEY   ? "key"
                                 : e.type == EV_REL ? "rel"
                                                    : "abs") +
                     " " + std::to_string(e.code) + " " + std::to_string(e.value);
        lines.push_back(frame);
        return true;
    }
    std::vector<std::string> lines;
};

TEST(KernelInputPoster, WritesEachInputAsAFrameAndLetsGoOfWhatItHolds)
{
    auto device = std::make_shared<RecordingDevice>();
    {
        KernelInputPoster poster(device, AbsolutePointerMap({{{0, 0, 1024, 512}}, 0}, boundingBox));
        poster.postKey(0, true, modifier::shift | modifier::capsLock); // A with Shift; the lock is left alone
        poster.postKey(0, false, modifier::shift);
        poster.postKey(0x7fff, true, 0); // no Linux key: nothing at all
        EXPECT_TRUE(poster.warpPointer({512, 256}));
        EXPECT_FALSE(poster.warpPointer({512, 256})) << "put there last";
        poster.postMouseButton(MouseButtonType::right, true, {512, 256}, std::nullopt);
        poster.postMouseMoved({0, 0}, std::nullopt); // a drag
        poster.postScrollNotch(ScrollDirection::up, std::nullopt);
        poster.postScrollNotch(ScrollDirection::left, modifier::super);
        poster.postKey(36, true, std::nullopt); // Return held at the end
        EXPECT_EQ(poster.reach({1023, 511}), PointerReach::onScreen);
        EXPECT_EQ(poster.reach({1024, 5}), PointerReach::offScreen) << "held at the edge";
    }
    EXPECT_EQ(device->lines,
              (std::vector<std::string>{"key 42 1", "key 30 1", "key 30 0", // Shift, A
                                        "abs 0 32768, abs 1 32768", "key 273 1", "abs 0 0, abs 1 0",
                                        "rel 8 1", "key 42 0", "key 125 1", "rel 6 -1", "key 28 1",
                                        // released by the poster's end: buttons, keys, then modifiers
                                        "key 273 0", "key 28 0", "key 125 0"}));

    // Without the desktop's layout there is no place to put the pointer: clicks and moves are skipped,
    // keys still go.
    device->lines.clear();
    KernelInputPoster blind(device, AbsolutePointerMap());
    EXPECT_FALSE(blind.warpPointer({1, 1}));
    EXPECT_EQ(blind.reach({1, 1}), PointerReach::skipped);
    blind.postMouseButton(MouseButtonType::left, true, {1, 1}, modifier::shift);
    blind.postKey(1, true, std::nullopt);
    blind.releaseAll();
    EXPECT_EQ(device->lines, (std::vector<std::string>{"key 31 1", "key 31 0"}));
}

} // namespace
} // namespace loopwren
