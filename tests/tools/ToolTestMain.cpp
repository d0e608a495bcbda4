#include <QCoreApplication>
#include <gtest/gtest.h>

// The tool's network commands are tested against listeners in this process: an event loop is needed.
int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
