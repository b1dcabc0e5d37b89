#include "eventually.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <thread>

namespace loopwren::test {

namespace {

bool until(const std::function<bool()>& condition, std::chrono::steady_clock::time_point deadline)
{
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        if (QCoreApplication::instance())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

} // namespace

bool eventually(const std::function<bool()>& condition)
{
    return until(condition, std::chrono::steady_clock::now() + kEventuallyLimit);
}

void settle(std::chrono::milliseconds duration)
{
    const auto deadline = std::chrono::steady_clock::now() + duration;
    until([] { return false; }, deadline);
}

} // namespace loopwren::test
