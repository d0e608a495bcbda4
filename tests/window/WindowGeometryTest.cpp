#include "window/WindowGeometry.h"

#include "support/WindowFakes.h"
#include "window/PresentationWindow.h"
#include "window/WindowPlacement.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QScreen>
#include <gtest/gtest.h>

namespace {

struct Settings : PlacementSettings {
    bool FixTopLeft() const override { return fixTopLeft; }
    int MonitorNumber() const override { return monitorNumber; }
    QString MonitorName() const override { return {}; }

    bool fixTopLeft = false;
    int monitorNumber = 0;
};

class WindowGeometryTest : public testing::Test {
protected:
    WindowGeometryTest() {
        window.resize(352, 64);
        window.show();
        QCoreApplication::processEvents();
    }

    FixedPresentationInputs inputs;
    PresentationWindow window{inputs};
    Settings settings;
    WindowGeometry geometry{window, settings};
};

// Where "Reset Position" puts the window is the placement's rule (WindowPlacementTest): here, that
// the window takes it and the display size follows.
TEST_F(WindowGeometryTest, ResetPositionAppliesThePlacementsRule) {
    ASSERT_EQ(QGuiApplication::screens().size(), 1);
    geometry.resetPosition();
    EXPECT_EQ(window.geometry(), resetPosition(MonitorLayout{{QGuiApplication::primaryScreen()->geometry()}, 0, {}}));
    EXPECT_EQ(geometry.displaySize(), window.size());
}

TEST_F(WindowGeometryTest, SetPositionAppliesTheSizeAndTheMonitorCorner) {
    window.move(100, 100);
    geometry.setDisplaySize(QSize(640, 96));
    settings.fixTopLeft = true;
    settings.monitorNumber = 7; // past the last monitor: the last one
    geometry.SetPosition();
    EXPECT_EQ(window.size(), QSize(640, 96));
    EXPECT_EQ(window.geometry().topLeft(), QGuiApplication::screens().last()->geometry().topLeft());
    EXPECT_EQ(window.windowAlpha(), 255);

    window.move(100, 100);
    geometry.keepPositionFromCommandLine(true); // a position from the command line stays
    geometry.SetPosition();
    EXPECT_EQ(window.pos(), QPoint(100, 100));
}

// The content area comes whole onto the monitor: SetPosition is the step that hides the border.
TEST_F(WindowGeometryTest, SetPositionBringsTheWindowWholeOntoAMonitor) {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    struct Case {
        QPoint from;
        QSize size;
        QPoint to;
    };
    const Case cases[] = {
        {{50000, 50000}, {352, 64}, {screen.right() + 1 - 352, screen.bottom() + 1 - 64}},
        {{-100, 20}, {352, 64}, {screen.left(), 20}},               // partly off the left edge
        {{10, 10}, {screen.width() + 50, 64}, {screen.left(), 10}}, // wider than the monitor
    };
    for (const Case& c : cases) {
        geometry.setDisplaySize(c.size);
        window.setGeometry(QRect(c.from, window.size()));
        geometry.SetPosition();
        EXPECT_EQ(window.geometry().topLeft(), c.to) << c.from.x() << "," << c.from.y();
    }
}

TEST_F(WindowGeometryTest, AppliedSizesDoNotRestartTheBorderTimer) {
    window.hideBorderNow();
    geometry.setDisplaySize(QSize(500, 80));
    geometry.SetPosition();
    QCoreApplication::processEvents();
    EXPECT_FALSE(window.borderHidingPending());
    window.resize(520, 90); // the operator's resize does
    QCoreApplication::processEvents();
    EXPECT_TRUE(window.borderHidingPending());
}

TEST_F(WindowGeometryTest, FullScreenAndTransparencyExcludeEachOther) {
    geometry.toggleTransparent();
    EXPECT_TRUE(window.transparentMode());
    geometry.toggleFullScreen();
    EXPECT_TRUE(geometry.fullScreen());
    EXPECT_FALSE(window.transparentMode());
    geometry.toggleTransparent();
    EXPECT_TRUE(window.transparentMode());
    EXPECT_FALSE(geometry.fullScreen());
}

// Full screen is the desktop's full-screen state over the whole monitor, not a maximised window, from
// the menu as from a start with it stored; leaving it gives the window its own geometry back.
TEST_F(WindowGeometryTest, FullScreenIsTheFullScreenStateOverTheWholeMonitor) {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    window.setGeometry(120, 90, 400, 200);
    geometry.setDisplaySize(QSize(400, 200));
    geometry.toggleFullScreen();
    QCoreApplication::processEvents();
    EXPECT_TRUE(window.isFullScreen());
    EXPECT_FALSE(window.isMaximized());
    EXPECT_EQ(window.geometry(), screen);
    EXPECT_EQ(geometry.displaySize(), screen.size());

    geometry.SetPosition(); // the border hiding keeps it so
    QCoreApplication::processEvents();
    EXPECT_TRUE(window.isFullScreen());
    EXPECT_EQ(window.geometry(), screen);

    geometry.toggleFullScreen();
    QCoreApplication::processEvents();
    EXPECT_FALSE(window.isFullScreen());
    EXPECT_EQ(window.geometry(), QRect(120, 90, 400, 200));
}

TEST_F(WindowGeometryTest, AMoveEndsAtTheMonitorCornerWithFixTopLeft) {
    const auto settle = [] {
        const QDeadlineTimer deadline(PresentationWindow::MoveSettleMilliseconds * 3);
        while (!deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    };
    window.move(150, 120);
    settle();
    EXPECT_EQ(window.pos(), QPoint(150, 120));
    settings.fixTopLeft = true;
    window.move(160, 130);
    settle();
    EXPECT_EQ(window.geometry().topLeft(), window.screen()->geometry().topLeft());
}

} // namespace
