#include "x11testenvironment.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <cstdlib>

// The engine over the X11 services in a plain QCoreApplication, as the command-line tool runs it: no
// Qt platform plugin and no Qt X connection, so the services must get by on their own connections.
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    unsetenv("QT_QPA_PLATFORM");
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
