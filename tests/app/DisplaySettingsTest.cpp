#include "app/DisplaySettings.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

struct RangeCase {
    void (DisplaySettings::*set)(int);
    int (DisplaySettings::*get)() const;
    int value;
    int kept;
};

class DisplaySettingsRangeTest : public testing::TestWithParam<RangeCase> {};

TEST_P(DisplaySettingsRangeTest, BringsValuesToTheNearerBound) {
    DisplaySettings settings;
    (settings.*GetParam().set)(GetParam().value);
    EXPECT_EQ((settings.*GetParam().get)(), GetParam().kept);
}

INSTANTIATE_TEST_SUITE_P(Values, DisplaySettingsRangeTest,
                         testing::ValuesIn(std::vector<RangeCase>{
                             {&DisplaySettings::setFontAdjustSpin, &DisplaySettings::FontAdjustSpin, 5, 10},
                             {&DisplaySettings::setFontAdjustSpin, &DisplaySettings::FontAdjustSpin, 2000, 1000},
                             {&DisplaySettings::setFontAdjustSpin, &DisplaySettings::FontAdjustSpin, 110, 110},
                             {&DisplaySettings::setSignWidth, &DisplaySettings::SignWidth, 100, 240},
                             {&DisplaySettings::setSignWidth, &DisplaySettings::SignWidth, 5000, 3840},
                             {&DisplaySettings::setSignHeight, &DisplaySettings::SignHeight, 0, 64},
                             {&DisplaySettings::setSignHeight, &DisplaySettings::SignHeight, 96, 96},
                             {&DisplaySettings::setNumberOfLines, &DisplaySettings::NumberOfLines, 0, 1},
                             {&DisplaySettings::setNumberOfLines, &DisplaySettings::NumberOfLines, 21, 20},
                             {&DisplaySettings::setFontHeight, &DisplaySettings::FontHeight, -3, 0},
                             {&DisplaySettings::setFontHeight, &DisplaySettings::FontHeight, 500, 200},
                             {&DisplaySettings::setMonitorNumber, &DisplaySettings::MonitorNumber, 7, 7},
                             {&DisplaySettings::setMonitorNumber, &DisplaySettings::MonitorNumber, -1, -1},
                         }));

TEST(DisplaySettingsTest, TheOverrideFontFollowsTheOverrideOnlyWhenApplied) {
    DisplaySettings settings;
    settings.setFontOverride(true);
    settings.setFontSelector(u"DejaVu Sans"_s);
    settings.setFontHeight(28);
    EXPECT_TRUE(settings.OverrideFontName().isEmpty());
    EXPECT_EQ(settings.OverrideFontSize(), 0);
    settings.applyFontOverride();
    EXPECT_EQ(settings.OverrideFontName(), u"DejaVu Sans"_s);
    EXPECT_EQ(settings.OverrideFontSize(), 28);
    settings.setFontOverride(false);
    settings.applyFontOverride();
    EXPECT_TRUE(settings.OverrideFontName().isEmpty());
    EXPECT_EQ(settings.OverrideFontSize(), 0);
}

} // namespace
