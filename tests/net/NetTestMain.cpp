#include <QCoreApplication>
#include <gtest/gtest.h>

// The listener tests run real sockets on loopback: they need an event loop.
int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
