#include "x11testenvironment.h"

#include <QGuiApplication>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // The table tests need no X server; the integration tests fail with a message when it is missing.
    std::unique_ptr<QGuiApplication> app;
    if (!GTEST_FLAG_GET(list_tests) && loopwren::X11TestEnvironment::displayProblem().empty()) {
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        app = std::make_unique<QGuiApplication>(argc, argv);
    }
    return RUN_ALL_TESTS();
}
