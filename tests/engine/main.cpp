#include <QCoreApplication>
#include <gtest/gtest.h>

int main(int argc, char* argv[])
{
    // Queued work needs an event loop; tests drain it explicitly.
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
