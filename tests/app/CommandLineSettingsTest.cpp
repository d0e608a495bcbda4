#include "app/CommandLineSettings.h"

#include "app/CommandLine.h"
#include "app/DisplaySettings.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

struct MonitorSwitchCase {
    const char* name;
    QString value;
    int number;
    QString outputName;
};

class MonitorSwitchTest : public testing::TestWithParam<MonitorSwitchCase> {};

// "/monitor" takes a monitor number or an output name; a number chooses alone, over a stored name.
TEST_P(MonitorSwitchTest, ChoosesByNumberOrName) {
    DisplaySettings settings;
    settings.setMonitorNumber(2);
    settings.setMonitorName(u"DP-1"_s);
    applyFontSwitches(CommandLine({u"veltrinox-lcd"_s, u"/monitor"_s, GetParam().value}), settings);
    EXPECT_EQ(settings.MonitorNumber(), GetParam().number);
    EXPECT_EQ(settings.MonitorName(), GetParam().outputName);
    EXPECT_TRUE(settings.FontOverride());
}

INSTANTIATE_TEST_SUITE_P(Values, MonitorSwitchTest,
                         testing::Values(MonitorSwitchCase{"Number", u"1"_s, 1, QString()},
                                         MonitorSwitchCase{"NegativeNumber", u"-1"_s, -1, QString()},
                                         MonitorSwitchCase{"OutputName", u"HDMI-1"_s, 2, u"HDMI-1"_s},
                                         MonitorSwitchCase{"LowerCaseName", u"eDP-1"_s, 2, u"eDP-1"_s}),
                         [](const testing::TestParamInfo<MonitorSwitchCase>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
