#include "x11testsupport.h"

#include <QGuiApplication>

#include <gtest/gtest.h>

#include <memory>

// Under a QGuiApplication on Qt's xcb platform, as the window application runs. The tests that need
// no X server run without one; the others fail with a message when it is missing.
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    std::unique_ptr<QGuiApplication> app;
    if (!GTEST_FLAG_GET(list_tests) && loopwren::x11test::displayProblem().empty()) {
        qputenv("QT_QPA_PLATFORM", "xcb");
        app = std::make_unique<QGuiApplication>(argc, argv);
    }
    return RUN_ALL_TESTS();
}
