#include "app/CommandLine.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

struct SplitCase {
    const char* name;
    QString commandLine;
    QStringList parameters;
};

class SplitCommandLineTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitCommandLineTest, Splits) {
    EXPECT_EQ(SplitCommandLine(GetParam().commandLine), GetParam().parameters);
}

INSTANTIATE_TEST_SUITE_P(CommandLines, SplitCommandLineTest,
                         testing::ValuesIn(std::vector<SplitCase>{
                             {"Empty", QString(), {}},
                             {"Blanks", u"  \t "_s, {}},
                             {"Plain", u"lcd.exe /port 10001"_s, {u"lcd.exe"_s, u"/port"_s, u"10001"_s}},
                             {"ControlSeparators",
                              u"a\x01\x1F"
                              u"b\r\nc"_s,
                              {u"a"_s, u"b"_s, u"c"_s}},
                             {"QuotedBlanks",
                              u"lcd /fontname \"Times New Roman\" x"_s,
                              {u"lcd"_s, u"/fontname"_s, u"Times New Roman"_s, u"x"_s}},
                             {"MixedStretches", u"a\"b c\"d"_s, {u"ab cd"_s}},
                             {"UnclosedQuote", u"a \"b c"_s, {u"a"_s, u"b c"_s}},
                             {"QuotePairsAtAStartAreSkipped", u"a \"\" b \"\"\"\"c"_s, {u"a"_s, u"b"_s, u"c"_s}},
                             {"EmptyQuotesAtTheEndEndTheList", u"a \"\""_s, {u"a"_s}},
                             {"QuotedBlank", u"a \" \""_s, {u"a"_s, u" "_s}},
                         }),
                         [](const auto& info) { return std::string(info.param.name); });

CommandLine parameters(QStringList list) {
    list.prepend(u"veltrinox-lcd"_s);
    return CommandLine(list);
}

TEST(CommandLineTest, NoParametersFindNothing) {
    const CommandLine commandLine = parameters({});
    EXPECT_FALSE(commandLine.FindCmdLineSwitch(u"port"));
    EXPECT_EQ(commandLine.ReturnParamStr(u"port"), QString());
    EXPECT_EQ(commandLine.ReturnParamInt(u"port"), 0);
}

TEST(CommandLineTest, TheProgramNameIsNeverASwitch) {
    EXPECT_FALSE(CommandLine({u"/port"_s, u"1"_s}).FindCmdLineSwitch(u"port"));
}

struct LookupCase {
    const char* name;
    QStringList parameters;
    const char16_t* switchName;
    bool present;
    QString value;
    qint32 number;
};

class CommandLineLookupTest : public testing::TestWithParam<LookupCase> {};

TEST_P(CommandLineLookupTest, LooksUp) {
    const LookupCase& c = GetParam();
    const CommandLine commandLine = parameters(c.parameters);
    EXPECT_EQ(commandLine.FindCmdLineSwitch(c.switchName), c.present);
    EXPECT_EQ(commandLine.ReturnParamStr(c.switchName), c.value);
    EXPECT_EQ(commandLine.ReturnParamInt(c.switchName), c.number);
}

INSTANTIATE_TEST_SUITE_P(
    Parameters, CommandLineLookupTest,
    testing::ValuesIn(std::vector<LookupCase>{
        {"Upper", {u"/PORT"_s, u"10005"_s}, u"port", true, u"10005"_s, 10005},
        {"Mixed", {u"/Port"_s, u"10005"_s}, u"port", true, u"10005"_s, 10005},
        {"NameInAnyCase", {u"/basefontheight"_s, u"30"_s}, u"BaseFontHeight", true, u"30"_s, 30},
        {"DashFormHasNoValue", {u"-port"_s, u"10005"_s}, u"port", true, QString(), 0},
        {"DashWidthIsZero", {u"-width"_s, u"800"_s}, u"width", true, QString(), 0},
        {"LastParameterHasNoValue", {u"/port"_s}, u"port", true, QString(), 0},
        {"ValueJoinedIsNoSwitch", {u"/port5000"_s}, u"port", false, QString(), 0},
        {"ValueWithEqualsIsNoSwitch", {u"/port=5000"_s}, u"port", false, QString(), 0},
        {"ValueIsTakenUnexamined", {u"/port"_s, u"/capport"_s}, u"port", true, u"/capport"_s, 0},
        {"LastOccurrenceWins", {u"/port"_s, u"10001"_s, u"/port"_s, u"10002"_s}, u"port", true, u"10002"_s, 10002},
        {"DashThenSlash", {u"-port"_s, u"1"_s, u"/port"_s, u"2"_s}, u"port", true, u"2"_s, 2},
        {"HexadecimalDollar", {u"/xpos"_s, u"$780"_s}, u"xpos", true, u"$780"_s, 1920},
        {"HexadecimalX", {u"/xpos"_s, u"0x780"_s}, u"xpos", true, u"0x780"_s, 1920},
        {"Negative", {u"/xpos"_s, u"-1920"_s}, u"xpos", true, u"-1920"_s, -1920},
        {"LeadingBlanks", {u"/xpos"_s, u"  12"_s}, u"xpos", true, u"  12"_s, 12},
        {"TrailingCharacters", {u"/width"_s, u"80x"_s}, u"width", true, u"80x"_s, 0},
        {"OutOfRange", {u"/width"_s, u"2147483648"_s}, u"width", true, u"2147483648"_s, 0},
        {"FontNameWithBlanks", {u"/fontname"_s, u"Times New Roman"_s}, u"fontname", true, u"Times New Roman"_s, 0},
        {"EmptyParameterIsSkipped", {QString(), u"/port"_s, u"7"_s}, u"port", true, u"7"_s, 7},
    }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CommandLineTest, ARawCommandLineSplitsBeforeTheLookups) {
    const CommandLine commandLine(SplitCommandLine(u"lcd.exe /port 10001 /fontname \"Liberation Sans\""_s));
    EXPECT_EQ(commandLine.ReturnParamInt(u"port"), 10001);
    EXPECT_EQ(commandLine.ReturnParamStr(u"fontname"), u"Liberation Sans"_s);
}

} // namespace
