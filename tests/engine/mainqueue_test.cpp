#include "mainqueue.h"

#include <QTest>
#include <gtest/gtest.h>

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

} // namespace
} // namespace loopwren
