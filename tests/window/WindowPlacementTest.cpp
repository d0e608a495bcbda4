#include "window/WindowPlacement.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace {

// Two 1280 x 720 monitors side by side, the primary one on the right.
const MonitorLayout PrimaryOnTheRight{{QRect(0, 0, 1280, 720), QRect(1280, 0, 1280, 720)}, 1};
// The same, with the monitors' output names.
const MonitorLayout NamedPrimaryOnTheRight{
    {QRect(0, 0, 1280, 720), QRect(1280, 0, 1280, 720)}, 1, {QStringLiteral("DP-2"), QStringLiteral("HDMI-1")}};
// A primary 1920 x 1080 monitor at the origin and a smaller one above and to the left of it.
const MonitorLayout OneAboveLeft{{QRect(0, 0, 1920, 1080), QRect(-1024, -768, 1024, 768)}, 0};

struct PlacementCase {
    const char* name;
    MonitorLayout layout;
    PlacementInput input;
    QRect placed;
};

class PlaceWindowTest : public testing::TestWithParam<PlacementCase> {};

TEST_P(PlaceWindowTest, GivesTheWindowItsSizeAndPlace) {
    EXPECT_EQ(placeWindow(GetParam().input, GetParam().layout), GetParam().placed);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, PlaceWindowTest,
    testing::Values(
        PlacementCase{
            "SizeApplied", PrimaryOnTheRight, {QRect(100, 100, 352, 64), QSize(640, 96)}, QRect(100, 100, 640, 96)},
        PlacementCase{
            "NoSizeKeepsTheWindows", PrimaryOnTheRight, {QRect(100, 100, 352, 64), QSize()}, QRect(100, 100, 352, 64)},
        PlacementCase{"FixTopLeftOnTheSecondMonitor",
                      PrimaryOnTheRight,
                      {QRect(100, 100, 400, 200), QSize(), true, 1},
                      QRect(1280, 0, 400, 200)},
        PlacementCase{"FixTopLeftOnAMonitorByName",
                      NamedPrimaryOnTheRight,
                      {QRect(1500, 100, 400, 200), QSize(), true, 1, {}, QStringLiteral("DP-2")},
                      QRect(0, 0, 400, 200)},
        PlacementCase{"FixTopLeftPastTheLastMonitor",
                      PrimaryOnTheRight,
                      {QRect(100, 100, 400, 200), QSize(), true, 3},
                      QRect(1280, 0, 400, 200)},
        PlacementCase{"FixTopLeftBeforeTheFirstMonitor",
                      PrimaryOnTheRight,
                      {QRect(1500, 100, 400, 200), QSize(), true, -2},
                      QRect(0, 0, 400, 200)},
        PlacementCase{"FixTopLeftAtNegativeCoordinates",
                      OneAboveLeft,
                      {QRect(100, 100, 400, 200), QSize(), true, 1},
                      QRect(-1024, -768, 400, 200)},
        PlacementCase{"PartlyOffTheRightEdge",
                      PrimaryOnTheRight,
                      {QRect(2400, 100, 400, 200), QSize()},
                      QRect(2160, 100, 400, 200)},
        PlacementCase{
            "OffEveryMonitor", PrimaryOnTheRight, {QRect(5000, 5000, 400, 200), QSize()}, QRect(2160, 520, 400, 200)},
        PlacementCase{"LargerThanItsMonitor",
                      OneAboveLeft,
                      {QRect(-900, -700, 1500, 900), QSize()},
                      QRect(-1024, -768, 1500, 900)},
        PlacementCase{"SizeFromTheCommandLineStaysWhereItIs",
                      PrimaryOnTheRight,
                      {QRect(1500, 100, 400, 200), QSize(), false, 0},
                      QRect(1500, 100, 400, 200)}),
    [](const testing::TestParamInfo<PlacementCase>& info) { return std::string(info.param.name); });

struct FullScreenCase {
    const char* name;
    MonitorLayout layout;
    PlacementInput input;
    QRect area;
};

class FullScreenAreaTest : public testing::TestWithParam<FullScreenCase> {};

TEST_P(FullScreenAreaTest, CoversTheWholeOfTheWindowsMonitor) {
    EXPECT_EQ(fullScreenArea(GetParam().input, GetParam().layout), GetParam().area);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, FullScreenAreaTest,
    testing::Values(
        // With "Fix Top left" the chosen monitor, though the window still stands on the other.
        FullScreenCase{"ChosenMonitorNotTheOneTheWindowIsOn",
                       PrimaryOnTheRight,
                       {QRect(100, 100, 400, 200), QSize(), true, 1},
                       QRect(1280, 0, 1280, 720)},
        FullScreenCase{"ChosenMonitorZeroFromTheOther",
                       PrimaryOnTheRight,
                       {QRect(1500, 100, 400, 200), QSize(), true, 0},
                       QRect(0, 0, 1280, 720)},
        FullScreenCase{"ChosenPastTheLastMonitor",
                       OneAboveLeft,
                       {QRect(100, 100, 400, 200), QSize(), true, 5},
                       QRect(-1024, -768, 1024, 768)},
        FullScreenCase{"ChosenBeforeTheFirstMonitor",
                       OneAboveLeft,
                       {QRect(-900, -700, 400, 200), QSize(), true, -1},
                       QRect(0, 0, 1920, 1080)},
        // Without it, the monitor the window stands on, told by its frame's centre.
        FullScreenCase{"WithoutFixTopLeftTheWindowsOwnMonitor",
                       PrimaryOnTheRight,
                       {QRect(1500, 100, 400, 200), QSize(), false, 0},
                       QRect(1280, 0, 1280, 720)},
        FullScreenCase{"StraddlingByItsBorder",
                       PrimaryOnTheRight,
                       {QRect(1150, 300, 360, 200), QSize(), false, 1, QMargins(200, 0, 0, 0)},
                       QRect(0, 0, 1280, 720)},
        FullScreenCase{"OffEveryMonitor",
                       OneAboveLeft,
                       {QRect(-3000, -2000, 400, 200), QSize(), false, 0},
                       QRect(-1024, -768, 1024, 768)},
        // A monitor chosen by name wins over its number while connected, and the number serves while not.
        FullScreenCase{"ChosenByName",
                       NamedPrimaryOnTheRight,
                       {QRect(1500, 100, 400, 200), QSize(), true, 1, {}, QStringLiteral("DP-2")},
                       QRect(0, 0, 1280, 720)},
        FullScreenCase{"ChosenByNameNotConnected",
                       NamedPrimaryOnTheRight,
                       {QRect(100, 100, 400, 200), QSize(), true, 1, {}, QStringLiteral("HDMI-2")},
                       QRect(1280, 0, 1280, 720)},
        FullScreenCase{"NameWithoutFixTopLeft",
                       NamedPrimaryOnTheRight,
                       {QRect(1500, 100, 400, 200), QSize(), false, 0, {}, QStringLiteral("DP-2")},
                       QRect(1280, 0, 1280, 720)},
        FullScreenCase{"NoMonitors", MonitorLayout{}, {QRect(10, 20, 300, 100), QSize(), true, 1}, QRect()}),
    [](const testing::TestParamInfo<FullScreenCase>& info) { return std::string(info.param.name); });

TEST(WindowPlacementTest, ResetPositionTakesHalfThePrimaryMonitorWhereverItStands) {
    EXPECT_EQ(resetPosition(PrimaryOnTheRight), QRect(1280 + 320, 180, 640, 360));
    EXPECT_EQ(resetPosition(MonitorLayout{{QRect(0, 0, 1920, 1080)}, 0}), QRect(480, 270, 960, 540));
    EXPECT_EQ(resetPosition(OneAboveLeft), QRect(480, 270, 960, 540));
}

struct CornerCase {
    const char* name;
    QRect client;
    QMargins frame;
    QRect placed;
};

class AtTopLeftOfMonitorTest : public testing::TestWithParam<CornerCase> {};

// The content area goes to the corner, so it stands there the same once the border has hidden.
TEST_P(AtTopLeftOfMonitorTest, PutsTheContentAtTheCornerOfTheNearestMonitor) {
    EXPECT_EQ(atTopLeftOfMonitor(GetParam().client, GetParam().frame, PrimaryOnTheRight), GetParam().placed);
}

INSTANTIATE_TEST_SUITE_P(Frames, AtTopLeftOfMonitorTest,
                         testing::Values(CornerCase{"Frameless", QRect(1400, 300, 400, 200), QMargins(),
                                                    QRect(1280, 0, 400, 200)},
                                         CornerCase{"WithABorder", QRect(1400, 300, 400, 200), QMargins(1, 20, 1, 1),
                                                    QRect(1280, 0, 400, 200)},
                                         // The frame's centre, not the content's, tells which monitor the window is on.
                                         CornerCase{"StraddlingByItsFrame", QRect(1150, 300, 360, 200),
                                                    QMargins(200, 0, 0, 0), QRect(0, 0, 360, 200)}),
                         [](const testing::TestParamInfo<CornerCase>& info) { return std::string(info.param.name); });

TEST(WindowPlacementTest, AWindowKeptWholeOnScreenKeepsItsBorderOnScreenToo) {
    EXPECT_EQ(fullyVisible(QRect(1280, 0, 400, 200), QMargins(1, 20, 1, 1), PrimaryOnTheRight),
              QRect(1281, 20, 400, 200));
    EXPECT_EQ(fullyVisible(QRect(1281, 20, 400, 200), QMargins(1, 20, 1, 1), PrimaryOnTheRight),
              QRect(1281, 20, 400, 200));
}

TEST(WindowPlacementTest, WithoutMonitorsTheWindowStaysAsItIs) {
    const PlacementInput input{QRect(10, 20, 300, 100), QSize(400, 120), true, 0};
    EXPECT_EQ(placeWindow(input, MonitorLayout{}), QRect(10, 20, 400, 120));
    EXPECT_EQ(nearestMonitor(MonitorLayout{}, QRect(10, 20, 300, 100)), -1);
}

} // namespace
