// What compositors answer, as tables: each answer in the form the compositor sends it, and what
// LoopWren makes of it. The real compositors' tests show that these forms are the ones they send.
#include "cannedsocket.h"
#include "desktopentryindex.h"
#include "desktopframe.h"
#include "gnomeworkspace.h"
#include "hyprlandworkspace.h"
#include "kwinbridge.h"
#include "kwinworkspace.h"
#include "swayipc.h"
#include "swaytree.h"
#include "swayworkspace.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using namespace loopwren;

namespace {

std::string text(const DesktopFrame& frame)
{
    std::string line = frame.topLeft ? std::to_string(frame.topLeft->x()) + "," +
                                           std::to_string(frame.topLeft->y())
                                     : std::string("-");
    return line + " " +
           (frame.size ? std::to_string(frame.size->width()) + "x" + std::to_string(frame.size->height())
                       : std::string("-"));
}

std::string text(QRect rect)
{
    return std::to_string(rect.x()) + "," + std::to_string(rect.y()) + " " + std::to_string(rect.width()) +
           "x" + std::to_string(rect.height());
}

// The stored frame as every desktop places it: a part applies only when both its numbers are there,
// rounded to the pixel, within what a desktop reaches, counted from the primary output's top-left.
TEST(DesktopFrame, StoredFramesBecomeWholePixelsInTheLayout)
{
    struct Case
    {
        WindowFrame frame;
        QPoint origin;
        std::string expected;
    };
    const Case cases[] = {
        {{100.0, 60.0, 640.0, 400.0}, {}, "100,60 640x400"},
        {{100.0, 60.0, 640.0, 400.0}, {-40, 30}, "60,90 640x400"},
        {{NAN, std::nullopt, 500.0, 300.0}, {}, "- 500x300"},
        {{250.4, 150.6, NAN, NAN}, {}, "250,151 -"},
        {{1.0, std::nullopt, 2.0, NAN}, {}, "- -"},
        {{-1e12, 1e12, 0.2, 1e6}, {}, "-1000000000,1000000000 1x32767"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(text(DesktopFrame::from(c.frame, c.origin)), c.expected) << c.expected;
}

// sway's layout tree: windows in tree order (outputs, workspaces with the scratchpad, containers depth
// first, tiled before floating), Wayland and X11 ones, the outer frame with the title bar above "rect".
TEST(SwayTree, WindowsOfTheLayoutTreeInOrderWithTheirFrames)
{
    struct Case
    {
        const char* tree;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {R"({"type":"root","nodes":[{"type":"output","nodes":[{"type":"workspace","nodes":[
            {"type":"con","id":7,"pid":42,"app_id":"foot","focused":true,
             "rect":{"x":0,"y":25,"width":1280,"height":775},"deco_rect":{"x":0,"y":0,"width":1280,"height":25},
             "window_rect":{"x":2,"y":0,"width":1276,"height":773}}]}]}]})",
         {"7 pid 42 foot tiled focused frame 0,0 1280x800 content 2,25 1276x773"}},
        {R"({"type":"root","nodes":[{"type":"output","nodes":[{"type":"workspace",
            "nodes":[{"type":"con","layout":"splith","nodes":[{"type":"con","id":3,"app_id":"a"}]}],
            "floating_nodes":[{"type":"floating_con","id":4,"window_properties":{"class":"XTerm","instance":"xterm"},
              "rect":{"x":100,"y":60,"width":640,"height":400}}]},
           {"type":"workspace","name":"__i3_scratch","floating_nodes":[{"type":"con","id":5,"app_id":"hidden"}]}]}]})",
         {"3 pid 0 a tiled frame 0,0 0x0 content 0,0 0x0",
          "4 pid 0 xterm/XTerm floating frame 100,60 640x400 content 100,60 0x0",
          "5 pid 0 hidden floating frame 0,0 0x0 content 0,0 0x0"}},
        // Containers without an application (splits, workspaces, outputs) are no windows.
        {R"({"type":"root","nodes":[{"type":"output","app_id":"x","nodes":[{"type":"con","nodes":[]}]}]})", {}},
        {"{}", {}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> lines;
        const SwayTree tree(QJsonDocument::fromJson(c.tree).object());
        for (const SwayWindow& w : tree.windows()) {
            const std::string name = w.appId.isEmpty() ? (w.instance + '/' + w.wmClass).toStdString()
                                                       : w.appId.toStdString();
            lines.push_back(std::to_string(w.id) + " pid " + std::to_string(w.processId) + " " + name +
                            (w.floating ? " floating" : " tiled") + (w.focused ? " focused" : "") + " frame " +
                            text(w.frame) + " content " + text(w.content));
        }
        EXPECT_EQ(lines, c.expected) << c.tree;
    }
}

// An i3-ipc reply with the given type and payload.
QByteArray i3Reply(std::uint32_t type, const QByteArray& payload)
{
    QByteArray reply("i3-ipc");
    const auto length = static_cast<std::uint32_t>(payload.size());
    reply.append(reinterpret_cast<const char*>(&length), 4).append(reinterpret_cast<const char*>(&type), 4);
    return reply + payload;
}

TEST(SwayIpc, ShortAndGarbledRepliesAndMissingSocketsAreErrors)
{
    QByteArray promisesMore = i3Reply(4, "{\"id\":");
    promisesMore.replace(6, 1, QByteArray(1, char(100)));
    for (const QByteArray& reply :
         {QByteArray("i3-"), QByteArray("not-i3 and more than a header"), promisesMore}) {
        CannedSocket server([&](const QByteArray&) { return reply; });
        SwayIpc ipc(server.path());
        ASSERT_TRUE(ipc.isConnected()) << ipc.error().toStdString();
        EXPECT_FALSE(ipc.tree()) << reply.constData();
        EXPECT_FALSE(ipc.error().isEmpty());
        EXPECT_FALSE(ipc.runCommand(QStringLiteral("focus")).ok());
    }

    SwayIpc nowhere(QStringLiteral("/nonexistent/sway-ipc.sock"));
    EXPECT_FALSE(nowhere.isConnected());
    EXPECT_FALSE(nowhere.tree());
    EXPECT_TRUE(SwayWorkspace(QStringLiteral("/nonexistent/sway-ipc.sock")).runningApplications().empty());
}

std::string listed(const std::vector<RunningApplication>& applications)
{
    std::string lines;
    for (const RunningApplication& application : applications)
        lines += application.name.value_or(QString()).toStdString() + " " +
                 std::to_string(application.processId) + " 0x" +
                 QString::number(application.handle, 16).toStdString() + "; ";
    return lines;
}

// Hyprland's client list, in the forms of its releases: mapped windows only, each by its address, and
// what a placement first undoes. Before 0.42 "fullscreen" was a flag with the mode in "fullscreenMode"
// (0 full screen, 1 maximised); since, it is the mode (1 maximised, 2 full screen).
TEST(HyprlandWorkspace, ClientListsOfEachReleaseAndWhatAPlacementUndoes)
{
    struct Case
    {
        const char* client;
        std::string listed;
        std::string placement;
        WindowFrame frame = {100.0, 60.0, 640.0, 400.0};
    };
    const Case cases[] = {
        {R"({"address":"0x5a10","class":"loopwren-no-entry","pid":4242,"floating":true,"fullscreen":0})",
         "loopwren-no-entry 4242 0x5a10; ",
         "dispatch movewindowpixel exact 100 60,address:0x5a10;"
         "dispatch resizewindowpixel exact 640 400,address:0x5a10"},
        {R"({"address":"0x5a10","class":"c","pid":1,"floating":false,"fullscreen":1})", "c 1 0x5a10; ",
         "dispatch focuswindow address:0x5a10;dispatch fullscreen 1;dispatch setfloating address:0x5a10;"
         "dispatch movewindowpixel exact 100 60,address:0x5a10;"
         "dispatch resizewindowpixel exact 640 400,address:0x5a10"},
        {R"({"address":"0x5a10","class":"c","pid":1,"floating":true,"fullscreen":2})", "c 1 0x5a10; ",
         "dispatch focuswindow address:0x5a10;dispatch fullscreen 0;"
         "dispatch movewindowpixel exact 100 60,address:0x5a10;"
         "dispatch resizewindowpixel exact 640 400,address:0x5a10"},
        {R"({"address":"0x5a10","class":"c","pid":1,"floating":true,"fullscreen":true,"fullscreenMode":1})",
         "c 1 0x5a10; ",
         "dispatch focuswindow address:0x5a10;dispatch fullscreen 1;"
         "dispatch movewindowpixel exact 100 60,address:0x5a10;"
         "dispatch resizewindowpixel exact 640 400,address:0x5a10"},
        {R"({"address":"0x5a10","class":"c","pid":1,"floating":true,"fullscreen":true,"fullscreenMode":0})",
         "c 1 0x5a10; ",
         "dispatch focuswindow address:0x5a10;dispatch fullscreen 0;"
         "dispatch movewindowpixel exact 100 60,address:0x5a10;"
         "dispatch resizewindowpixel exact 640 400,address:0x5a10"},
        // What is absent or NaN is not asked for.
        {R"({"address":"0x5a10","class":"c","pid":1,"floating":true})",
         "c 1 0x5a10; ",
         "dispatch resizewindowpixel exact 500 300,address:0x5a10",
         {NAN, std::nullopt, 500.0, 300.0}},
        {R"({"address":"0x5a10","class":"c","pid":1,"floating":true})",
         "c 1 0x5a10; ",
         "dispatch movewindowpixel exact 250 151,address:0x5a10",
         {250.4, 150.6, NAN, NAN}},
        {R"({"address":"0x5a10","class":"c","pid":1,"mapped":false})", "", ""},
        {R"({"class":"c","pid":1})", "", ""},
    };
    for (const Case& c : cases) {
        const QByteArray clients = QByteArray("[") + c.client + "]";
        CannedSocket hyprland([&](const QByteArray& request) {
            return request == "j/clients" ? clients : QByteArray("ok");
        });
        HyprlandWorkspace workspace(hyprland.path());
        EXPECT_EQ(listed(workspace.runningApplications()), c.listed) << c.client;
        RunningApplication first;
        first.processId = 1;
        first.handle = 0x5a10;
        workspace.placeFirstWindow(first, c.frame);
        const QList<QByteArray> requests = hyprland.requests();
        const QByteArray batch = requests.isEmpty() || !requests.last().startsWith("[[BATCH]]")
                                     ? QByteArray()
                                     : requests.last().mid(9);
        EXPECT_EQ(batch.toStdString(), c.placement) << c.client;
    }
}

// Entries for foot (by its app id) and for xterm (by its X11 class), as a system's menus hold them.
DesktopEntryIndex testEntries(const QTemporaryDir& folder)
{
    for (const auto& [file, text] : {std::pair{"foot.desktop", "Name=Foot\n"},
                                     std::pair{"xterm.desktop", "Name=Terminal\nStartupWMClass=XTerm\n"}}) {
        QFile entry(folder.filePath(QLatin1String(file)));
        EXPECT_TRUE(entry.open(QIODevice::WriteOnly));
        entry.write(QByteArray("[Desktop Entry]\nType=Application\nExec=true\n") + text);
    }
    return DesktopEntryIndex({folder.path()}, {});
}

// KWin's window list as LoopWren's script gives it: a name from the entry of the Wayland app id
// (desktopFileName), else of the X11 resource name and class, else one of those themselves; the
// handle is the key's 16 hex digits. A pushed pointer position is two numbers, fractions on Plasma 6.
TEST(KWinWorkspace, WindowListsAndPointerPushes)
{
    const QTemporaryDir folder;
    const DesktopEntryIndex entries = testEntries(folder);
    struct Case
    {
        const char* window;
        std::string expected;
    };
    const Case cases[] = {
        {R"({"key":"00000000000000ab","pid":42,"desktopFileName":"foot","resourceClass":"x"})",
         "Foot 42 0xab; "},
        {R"({"key":"ab","pid":1,"desktopFileName":"nothing","resourceName":"xterm","resourceClass":"XTerm"})",
         "Terminal 1 0xab; "},
        {R"({"key":"ab","pid":1,"desktopFileName":"","resourceName":"inst","resourceClass":"Klass"})",
         "Klass 1 0xab; "},
        {R"({"key":"ab","pid":1,"resourceName":"inst"})", "inst 1 0xab; "},
        {R"({"key":"not hex","pid":1,"desktopFileName":"foot"})", ""},
    };
    for (const Case& c : cases) {
        const QJsonDocument answer = QJsonDocument::fromJson(QByteArray("[") + c.window + "]");
        EXPECT_EQ(listed(KWinWorkspace::applicationsIn(answer, entries)), c.expected) << c.window;
    }

    EXPECT_EQ(KWinBridge::pointerFrom(QStringLiteral("300 200")), QPointF(300, 200));
    EXPECT_EQ(KWinBridge::pointerFrom(QStringLiteral("12.5 -3.25")), QPointF(12.5, -3.25));
    for (const char* garbled : {"300", "a 2", "1 2 3", ""})
        EXPECT_FALSE(KWinBridge::pointerFrom(QLatin1String(garbled))) << garbled;
}

// The Shell's window list as LoopWren's extension gives it: a name from the entry the Shell matched
// (not its made-up "window:N" ids), else from the window's class, else the class itself; id 0 is no
// window. A placement takes the first window its process opened.
TEST(GnomeWorkspace, WindowListsAndTheFirstWindowOfAProcess)
{
    const QTemporaryDir folder;
    const DesktopEntryIndex entries = testEntries(folder);
    const QString windows = QStringLiteral(
        R"([{"id":5,"desktopId":"foot.desktop","wmClass":"foot","pid":7},
            {"id":6,"desktopId":"window:12","wmClass":"XTerm","pid":7},
            {"id":8,"desktopId":"","wmClass":"loopwren-no-entry","pid":9},
            {"id":0,"desktopId":"foot.desktop","wmClass":"foot","pid":10}])");
    EXPECT_EQ(listed(GnomeWorkspace::applicationsIn(windows, entries)),
              "Foot 7 0x5; Terminal 7 0x6; loopwren-no-entry 9 0x8; ");
    EXPECT_EQ(listed(GnomeWorkspace::applicationsIn(QString(), entries)), "");

    RunningApplication application;
    application.handle = 6;
    EXPECT_EQ(GnomeWorkspace::firstWindowIn(windows, application), 6u) << "no process known";
    application.processId = 7;
    EXPECT_EQ(GnomeWorkspace::firstWindowIn(windows, application), 5u);
    application.processId = 11;
    EXPECT_EQ(GnomeWorkspace::firstWindowIn(windows, application), 6u) << "a process that is gone";
}

} // namespace
