#include "window/PresentationWindow.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

PresentationSettings defaultSettings() {
    return {};
}

TEST(PresentationWindowTest, TheDisplayImageIsTwiceTheClientArea) {
    PresentationWindow window(defaultSettings);
    window.resize(960, 540);
    window.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(window.presenter().displayImage().size(), QSize(1920, 1080));
    EXPECT_EQ(window.BaseFontHeight(), 34);
    EXPECT_EQ(window.settings().baseFontHeight, 34);

    window.setFixedBaseFontHeight(40);
    window.resize(640, 360);
    QCoreApplication::processEvents();
    EXPECT_EQ(window.presenter().displayImage().size(), QSize(1280, 720));
    EXPECT_EQ(window.BaseFontHeight(), 40);
}

TEST(PresentationWindowTest, AnimationStepsArriveAsEvents) {
    PresentationWindow window(defaultSettings);
    window.resize(320, 180);
    window.show();
    window.startAnimation();
    window.presenter().enqueue(u"<Surtitles><Cue><Captions Stream9=\"Hi\"/><Effects InEffect=\"Fade\" "
                               u"Speed=\"Fast\"/></Cue></Surtitles>"_s);
    window.presenter().ShowSurtitle();
    ASSERT_TRUE(window.presenter().effectRunning());
    const QDeadlineTimer deadline(5000);
    while (window.presenter().effectRunning() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    EXPECT_FALSE(window.presenter().effectRunning()); // 32 steps of 10 ms
    window.stopAnimation();
}

TEST(PresentationWindowTest, TransparentModeShowsTheAlpha) {
    PresentationWindow window(defaultSettings);
    window.resize(320, 180);
    window.setWindowAlpha(100);
    EXPECT_DOUBLE_EQ(window.windowOpacity(), 1.0); // kept, not shown, outside transparent mode
    window.Transparent1Click();
    EXPECT_TRUE(window.transparentMode());
    EXPECT_NEAR(window.windowOpacity(), 100 / 255.0, 0.01);
    window.Transparent1Click();
    EXPECT_DOUBLE_EQ(window.windowOpacity(), 1.0);
}

TEST(PresentationWindowTest, HidingTheBorderStopsARunningEffect) {
    PresentationWindow window(defaultSettings);
    window.resize(320, 180);
    window.show();
    EXPECT_TRUE(window.borderHidingPending()); // from creation
    window.presenter().enqueue(u"<Surtitles><Cue><Effects InEffect=\"Scroll Up\"/></Cue></Surtitles>"_s);
    window.presenter().ShowSurtitle(); // runs the pending border hiding first, then starts the scroll
    EXPECT_FALSE(window.borderHidingPending());
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(window.presenter().effectRunning());
    window.hideBorderNow();
    EXPECT_FALSE(window.presenter().effectRunning());
}

} // namespace
