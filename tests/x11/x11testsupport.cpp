#include "x11testsupport.h"

#include "primarymonitor.h"
#include "x11connection.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/record.h>

#include <cstdio>
#include <cstdlib>
#include <thread>

namespace loopwren::x11test {

std::string displayProblem()
{
    const char* display = std::getenv("DISPLAY");
    const auto connection = X11Connection::open({});
    if (!display || !*display || !connection)
        return "no X display: run the X11 tests under scripts/with-x11.sh";
    int major = 0, minor = 0, eventBase = 0, errorBase = 0;
    if (!XRecordQueryVersion(connection->display(), &major, &minor))
        return "the X server offers no RECORD extension";
    if (!XTestQueryExtension(connection->display(), &eventBase, &errorBase, &major, &minor))
        return "the X server offers no XTEST extension";
    // Without an offset the coordinate tests could not tell translated positions from raw ones.
    if (PrimaryMonitor::query(connection->display()) != ScreenOrigin{200, 100})
        return "the primary monitor is not at +200+100: run the X11 tests under scripts/with-x11.sh";
    return {};
}

bool xdotool(const std::vector<std::string>& arguments)
{
    QStringList words;
    for (const auto& argument : arguments)
        words << QString::fromStdString(argument);
    return QProcess::execute(QStringLiteral("xdotool"), words) == 0;
}

bool waitUntil(const std::function<bool()>& predicate, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!predicate()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

void settle(std::chrono::milliseconds duration)
{
    const auto deadline = std::chrono::steady_clock::now() + duration;
    waitUntil([&] { return std::chrono::steady_clock::now() >= deadline; }, duration * 2);
}

unsigned pointerMask()
{
    const auto connection = X11Connection::open({});
    Window root = 0, child = 0;
    int x = 0, y = 0;
    unsigned mask = 0;
    if (connection)
        XQueryPointer(connection->display(), DefaultRootWindow(connection->display()), &root, &child, &x, &y,
                      &x, &y, &mask);
    return mask;
}

std::string heldInput(const std::string& display)
{
    const auto connection = X11Connection::open(display);
    if (!connection)
        return "(the display cannot be asked)";
    char keys[32] = {};
    Window root = 0, child = 0;
    int x = 0, y = 0;
    unsigned mask = 0;
    if (!XQueryKeymap(connection->display(), keys) ||
        !XQueryPointer(connection->display(), DefaultRootWindow(connection->display()), &root, &child, &x, &y,
                       &x, &y, &mask))
        return "(the display cannot be asked)";
    std::string held;
    for (int keycode = 0; keycode < 256; ++keycode) {
        if (keys[keycode / 8] & (1 << (keycode % 8)))
            held += " key " + std::to_string(keycode);
    }
    for (unsigned button = 1; button <= 5; ++button) {
        if (mask & (Button1Mask << (button - 1)))
            held += " button " + std::to_string(button);
    }
    return held;
}

std::string describe(const InputEvent& event)
{
    static const char* const kinds[] = {"buttonDown", "buttonUp",         "pointerMoved", "keyDown",
                                        "keyUp",      "modifiersChanged", "scroll"};
    static const char* const buttons[] = {"left", "right", "other"};
    std::string text = kinds[static_cast<int>(event.kind)];
    if (event.button)
        text += std::string(" ") + buttons[static_cast<int>(*event.button)];
    char buffer[160];
    if (event.kind == InputKind::scroll)
        std::snprintf(buffer, sizeof buffer, " dx=%g dy=%g", event.scrollDeltaX, event.scrollDeltaY);
    else if (event.kind == InputKind::pointerMoved)
        std::snprintf(buffer, sizeof buffer, " (%g,%g)", event.location->x, event.location->y);
    else if (event.kind == InputKind::buttonDown || event.kind == InputKind::buttonUp)
        std::snprintf(buffer, sizeof buffer, " (%g,%g) clicks=%lld", event.location->x, event.location->y,
                      static_cast<long long>(event.clickCount));
    else
        std::snprintf(buffer, sizeof buffer, " %u", static_cast<unsigned>(event.keyCode));
    text += buffer;
    if (!event.flags)
        return text + " flags=none";
    if (*event.flags == 0)
        return text;
    std::snprintf(buffer, sizeof buffer, " flags=0x%llx", static_cast<unsigned long long>(*event.flags));
    return text + buffer;
}

std::vector<std::string> describe(const std::vector<InputEvent>& events)
{
    std::vector<std::string> lines;
    for (const auto& event : events)
        lines.push_back(describe(event));
    return lines;
}

PrivateXServer::PrivateXServer()
{
    // The server picks a free display itself and writes its number once it accepts clients.
    m_process.setStandardErrorFile(QProcess::nullDevice());
    m_process.start(QStringLiteral("Xvfb"),
                    {"-displayfd", "1", "-screen", "0", "640x480x24", "-noreset", "-nolisten", "tcp"});
    while (!m_process.canReadLine() && m_process.waitForReadyRead(10000)) {
    }
    if (m_process.canReadLine())
        m_display = ":" + m_process.readLine().trimmed().toStdString();
}

void PrivateXServer::stop()
{
    m_process.kill();
    m_process.waitForFinished(30000);
}

} // namespace loopwren::x11test
