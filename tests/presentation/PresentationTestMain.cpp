
#include <QGuiApplication>
#include <gtest/gtest.h>

// The presentation tests draw with real fonts on images: they need a GUI application, on the
// offscreen platform so that no display is involved.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
