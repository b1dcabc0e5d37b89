#include "mainqueue.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QThread>
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>

namespace loopwren {
namespace {

// Runs the event loop until condition holds, or gives up after a time no machine needs.
bool runUntil(const std::function<bool()>& condition)
{
    QDeadlineTimer deadline(30000);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

TEST(MainQueue, RunsLaterInQueueOrderAndDropsWorkOfAGoneContext)
{
    QObject context;
    std::string order;
    mainqueue::post(&context, [&] {
        order += 'a';
        mainqueue::post(&context, [&] { order += 'c'; }); // behind everything already queued
    });
    mainqueue::post(&context, [&] { order += 'b'; });
    EXPECT_EQ(order, "") << "never inside the call that queued it";
    {
        QObject gone;
        mainqueue::post(&gone, [&] { order += 'x'; });
    }
    ASSERT_TRUE(runUntil([&] { return order.size() >= 3; }));
    EXPECT_EQ(order, "abc");
}

TEST(MainQueue, DelaysAreLowerBoundsAndBackgroundWorkRunsOffTheMainThread)
{
    QObject context;
    QElapsedTimer timer;
    timer.start();
    qint64 ranAfter = -1;
    mainqueue::postAfter(std::chrono::milliseconds(50), &context, [&] { ranAfter = timer.elapsed(); });
    std::atomic<QThread*> worker{nullptr};
    QThreadPool pool;
    mainqueue::runInBackgroundAfter(std::chrono::milliseconds(10), &context, pool,
                                    [&] { worker = QThread::currentThread(); });
    ASSERT_TRUE(runUntil([&] { return ranAfter >= 0 && worker.load() != nullptr; }));
    EXPECT_GE(ranAfter, 50);
    ASSERT_NE(worker.load(), nullptr);
    EXPECT_NE(worker.load(), QThread::currentThread());
}

} // namespace
} // namespace loopwren
