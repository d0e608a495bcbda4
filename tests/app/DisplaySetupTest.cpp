#include "app/DisplaySetup.h"

#include "app/CommandLine.h"
#include "app/DisplaySettings.h"
#include "support/QtPrinters.h"
#include "support/WindowFakes.h"
#include "window/PresentationWindow.h"
#include "window/WindowGeometry.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// What the setup dialog decided, carried out on a shown presentation window.
class DisplaySetupTest : public testing::Test {
protected:
    DisplaySetupTest() {
        window.resize(352, 64);
        window.show();
        QCoreApplication::processEvents();
        settings.setFontSelector(u"DejaVu Serif"_s);
        settings.setFontHeight(40);
    }

    FixedPresentationInputs inputs;
    PresentationWindow window{inputs};
    DisplaySettings settings;
    WindowGeometry geometry{window, settings};
    CommandLine commandLine;
    DisplaySetup setup{window, geometry, settings, commandLine};
};

struct ApplyCase {
    const char* name;
    QStringList commandLine;
    int windowHeight;
};

class DisplaySetupApplyTest : public DisplaySetupTest, public testing::WithParamInterface<ApplyCase> {};

TEST_P(DisplaySetupApplyTest, TheChosenFontDrawsAndTheWindowTakesTheChosenSize) {
    const ApplyCase& test = GetParam();
    commandLine = CommandLine(test.commandLine);
    settings.setSignWidth(640);
    settings.setSignHeight(96);
    setup.apply();

    const CanvasFont& displayFont = window.presenter().displayFont();
    EXPECT_EQ(displayFont.name, u"DejaVu Serif"_s);
    EXPECT_EQ(displayFont.pointSize, 40);
    EXPECT_EQ(window.size(), QSize(640, test.windowHeight));
    EXPECT_EQ(geometry.displaySize(), window.size());
}

INSTANTIATE_TEST_SUITE_P(Cases, DisplaySetupApplyTest,
                         testing::ValuesIn(std::vector<ApplyCase>{
                             {"TheChosenSize", {u"veltrinox-lcd"_s}, 96},
                             {"HeightOnTheCommandLine", {u"veltrinox-lcd"_s, u"/height"_s, u"150"_s}, 150},
                         }),
                         [](const testing::TestParamInfo<ApplyCase>& info) { return std::string(info.param.name); });

TEST_F(DisplaySetupTest, ALineIsAsHighAsTheDisplayLaysOutABlankLineInTheFont) {
    CanvasFont font = window.presenter().displayFont();
    const CanvasFont before = font;
    font.name = u"DejaVu Sans"_s;
    font.pointSize = 30;
    EXPECT_EQ(setup.lineHeight(u"DejaVu Sans"_s, 30), QFontMetrics(font.toQFont()).height());
    EXPECT_EQ(window.presenter().displayFont(), before); // asking draws nothing in it
}

TEST_F(DisplaySetupTest, SizeFromLinesMakesTheWindowThatHighInTheChosenFont) {
    window.hideBorderNow();
    setup.setSizeFromLines(150);
    QCoreApplication::processEvents();

    const CanvasFont& displayFont = window.presenter().displayFont();
    EXPECT_EQ(displayFont.name, u"DejaVu Serif"_s);
    EXPECT_EQ(displayFont.pointSize, 40);
    EXPECT_EQ(window.height(), 150);
    EXPECT_EQ(settings.SignHeight(), 150);
    EXPECT_EQ(geometry.displaySize().height(), 150);
    EXPECT_FALSE(window.borderHidingPending()); // a size the rules set, not the operator's resize
}

} // namespace
