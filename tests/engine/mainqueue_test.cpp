#include "mainqueue.h"

#include <QTest>
#include <QThread>
#include <gtest/gtest.h>

#include <atomic>
#include <string>

namespace loopwren {
namespace {

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
    ASSERT_TRUE(QTest::qWaitFor([&] { return order.size() >= 3; }, 30000));
    EXPECT_EQ(order, "abc");
}

// Delayed work waits behind whatever is due already; background work runs off the main thread.
TEST(MainQueue, DelayedWorkWaitsAndBackgroundWorkRunsOffTheMainThread)
{
    QObject context;
    bool delayedRan = false;
    mainqueue::postAfter(std::chrono::hours(1), &context, [&] { delayedRan = true; });
    std::atomic<QThread*> worker{nullptr};
    QThreadPool pool;
    mainqueue::runInBackgroundAfter(std::chrono::milliseconds(0), &context, pool,
                                    [&] { worker = QThread::currentThread(); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return worker.load() != nullptr; }, 30000));
    EXPECT_NE(worker.load(), QThread::currentThread());
    EXPECT_FALSE(delayedRan);
}

} // namespace
} // namespace loopwren
