#include "probe.h"

#include "x11connection.h"
#include "x11recordsession.h"

#include <X11/Xlib.h>

#include <utility>

namespace loopwren::bench {

std::string describeInput(const InputEvent& input)
{
    const auto point = [&] {
        const Point at = input.location.value_or(Point{});
        return std::to_string(static_cast<long>(at.x)) + "," + std::to_string(static_cast<long>(at.y));
    };
    const auto button = [&] {
        return std::to_string(static_cast<int>(input.button.value_or(MouseButtonType::other)));
    };
    switch (input.kind) {
    case InputKind::keyDown:
        return "key " + std::to_string(input.keyCode) + " down";
    case InputKind::keyUp:
        return "key " + std::to_string(input.keyCode) + " up";
    case InputKind::buttonDown:
        return "button " + button() + " down " + point();
    case InputKind::buttonUp:
        return "button " + button() + " up " + point();
    case InputKind::scroll:
        return "scroll " + std::to_string(static_cast<int>(input.scrollDeltaY));
    default:
        return "move " + point();
    }
}

Probe::Probe()
{
    m_session = X11RecordSession::start({}, ClickSettings{}, [this](std::vector<InputEvent>&& batch) {
        std::lock_guard lock(m_mutex);
        for (const InputEvent& input : batch) {
            if (input.kind != InputKind::modifiersChanged)
                m_log.push_back({describeInput(input), input.timestamp});
        }
    });
}

Probe::~Probe() = default;

void Probe::startPinging()
{
    m_pinger = std::jthread([](std::stop_token stop) {
        auto connection = X11Connection::open({});
        if (!connection)
            return;
        while (!stop.stop_requested() && !connection->isBroken()) {
            XSync(connection->display(), False);
            std::this_thread::sleep_for(std::chrono::microseconds(250));
        }
    });
}

std::vector<ProbedInput> Probe::take()
{
    std::lock_guard lock(m_mutex);
    return std::exchange(m_log, {});
}

} // namespace loopwren::bench
