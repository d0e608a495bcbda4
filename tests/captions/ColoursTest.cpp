#include "captions/Colours.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>
#include <set>
#include <string>

namespace {

constexpr ColourValue Fallback = 0x123456;

struct Case {
    const char16_t* text;
    ColourValue colour;
};

class StringToColourTest : public testing::TestWithParam<Case> {};

TEST_P(StringToColourTest, ResolvesTheText) {
    EXPECT_EQ(StringToColour(QStringView(GetParam().text), Fallback), GetParam().colour)
        << QString::fromUtf16(GetParam().text).toStdString();
}

INSTANTIATE_TEST_SUITE_P(DollarForms, StringToColourTest,
                         testing::ValuesIn(std::vector<Case>{
                             {u"$00FF00", 0x00FF00},
                             {u"$0000FF", 0x0000FF},
                             {u"$00ffff", 0x00FFFF},
                             {u"$1200FF00", 0x00FF00}, // the two digits after "$" are dropped
                             {u"$GGGGGG", Fallback},
                             {u"$12GGGGGG", Fallback},
                             {u"$FF", 0xFF}, // not 7 or 9 characters: read as a number
                             {u"$FFFFFF00", 0xFFFF00},
                         }));

INSTANTIATE_TEST_SUITE_P(Words, StringToColourTest,
                         testing::ValuesIn(std::vector<Case>{
                             {u"Yellow", 0x00FFFF},
                             {u"yellow", 0x00FFFF},
                             {u"RED", 0x0000FF},
                             {u"Green", 0x00FF00},
                             {u"Blue", 0xFF0000},
                             {u"Black", 0x000000},
                             {u"Cyan", 0xFFFF00},
                             {u"Magenta", 0xFF00FF},
                             {u"White", 0xFFFFFF},
                             {u"Purple", Fallback},
                             {u" Yellow", Fallback},
                             {u"", Fallback},
                         }));

INSTANTIATE_TEST_SUITE_P(PlatformTableAndNumbers, StringToColourTest,
                         testing::ValuesIn(std::vector<Case>{
                             {u"clYellow", 0x00FFFF},
                             {u"CLYELLOW", 0x00FFFF},
                             {u"clPurple", 0x800080},
                             {u"clMoneyGreen", 0xC0DCC0},
                             {u"clBtnFace", 0xFF00000F},
                             {u"clHotLight", 0xFF00001A},
                             {u"clNone", 0x1FFFFFFF},
                             {u"clDefault", 0x20000000},
                             {u"255", 0x0000FF},
                             {u"65535", 0x00FFFF},
                             {u"-1", 0xFFFFFFFF},
                             {u"255x", Fallback},
                         }));

TEST(ColourTableTest, HasFiftyTwoDistinctEntries) {
    const auto table = PlatformColourTable();
    ASSERT_EQ(table.size(), 52u);
    std::set<std::string> identifiers;
    std::set<ColourValue> values;
    for (const NamedColour& entry : table) {
        identifiers.insert(entry.identifier);
        values.insert(entry.value);
    }
    EXPECT_EQ(identifiers.size(), 52u);
    EXPECT_EQ(values.size(), 52u);
}

TEST(ColourTableTest, EveryEntryReadsBackFromItsText) {
    for (const NamedColour& entry : PlatformColourTable()) {
        const QString text = ColourToString(entry.value);
        EXPECT_EQ(text, QString::fromLatin1(entry.identifier));
        EXPECT_EQ(StringToColour(text, Fallback), entry.value) << entry.identifier;
    }
}

TEST(ColourToStringTest, WritesOtherValuesAsEightHexadecimalDigits) {
    EXPECT_EQ(ColourToString(0x00FF8000), QStringLiteral("$00FF8000"));
    EXPECT_EQ(ColourToString(0x00000001), QStringLiteral("$00000001"));
    EXPECT_EQ(ColourToString(0x00FFFF), QStringLiteral("clYellow"));
    EXPECT_EQ(StringToColour(ColourToString(0xABCDEF), Fallback), 0xABCDEFu);
}

TEST(ColourSettingTextTest, HasAtLeastSixUpperCaseDigitsAndReadsBack) {
    EXPECT_EQ(ColourSettingText(0xFF0000), QStringLiteral("$FF0000"));
    EXPECT_EQ(ColourSettingText(0x00000A), QStringLiteral("$00000A"));
    EXPECT_EQ(ColourSettingText(0x8000000F), QStringLiteral("$8000000F"));
    EXPECT_EQ(StringToColour(ColourSettingText(0xABCDEF), Fallback), 0xABCDEFu);
}

} // namespace
