#include <QApplication>
#include <gtest/gtest.h>

// The geometry tests move real widgets on the offscreen platform (one 800 x 600 screen).
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
