#include "mainqueue.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <gtest/gtest.h>

#include <atomic>
#include <string>

namespace loopwren {
namespace {

void runFor(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
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
    runFor(20);
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
    mainqueue::runInBackgroundAfter(std::chrono::milliseconds(10), &context,
                                    [&] { worker = QThread::currentThread(); });
    runFor(150);
    EXPECT_GE(ranAfter, 50);
    ASSERT_NE(worker.load(), nullptr);
    EXPECT_NE(worker.load(), QThread::currentThread());
}

} // namespace
} // namespace loopwren
