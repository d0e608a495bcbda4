#include "captions/Vocabularies.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace {

struct SizeCase {
    int base;
    const char16_t* size;
    int adjust;
    int points;
};

class FontSizeFromStringTest : public testing::TestWithParam<SizeCase> {};

TEST_P(FontSizeFromStringTest, GivesThePointSize) {
    const SizeCase& c = GetParam();
    EXPECT_EQ(FontSizeFromString(c.base, QStringView(c.size), {c.adjust, false, 0}), c.points)
        << QString::fromUtf16(c.size).toStdString() << " adjust " << c.adjust;
}

INSTANTIATE_TEST_SUITE_P(Sizes, FontSizeFromStringTest,
                         testing::ValuesIn(std::vector<SizeCase>{
                             {40, u"Very small", 100, 24},
                             {40, u"Small", 100, 30},
                             {40, u"Medium", 100, 40},
                             {40, u"Medium large", 100, 60},
                             {40, u"Large", 100, 120},
                             {40, u"Large", 110, 132},
                             {40, u"large", 100, 40}, // words are case-sensitive
                             {40, u"Huge", 100, 40},
                             {40, u"", 100, 40},
                             {40, u"50%", 100, 20},
                             {40, u"%", 100, 0},
                             {40, u"12pt", 100, 12},
                             {40, u"18", 100, 18},
                             {40, u"18", 50, 9},
                             {33, u"Very small", 100, 19}, // 99 div 5
                             {40, u"Medium", 33, 13},      // 0.33 x 40 = 13.2, truncated
                             {40, u"-5", 100, -5},
                             {40, u"2147483647", 1000, 2147483647}, // held within the integer range
                         }));

TEST(FontSizeFromStringTest, FontOverrideGivesTheOverrideSize) {
    EXPECT_EQ(FontSizeFromString(40, u"Large", {110, true, 28}), 28);
    EXPECT_EQ(FontSizeFromString(40, u"12", {100, true, 0}), 0);
}

struct WordCase {
    const char16_t* text;
    int value;
};

class BrightnessFromStringTest : public testing::TestWithParam<WordCase> {};

TEST_P(BrightnessFromStringTest, GivesTheScale) {
    EXPECT_EQ(BrightnessFromString(QStringView(GetParam().text)), GetParam().value)
        << QString::fromUtf16(GetParam().text).toStdString();
}

INSTANTIATE_TEST_SUITE_P(Words, BrightnessFromStringTest,
                         testing::ValuesIn(std::vector<WordCase>{
                             {u"Bright", 255},
                             {u"Medium", 127},
                             {u"Dim", 31},
                             {u"dim", 255},
                             {u"", 255},
                             {u"50%", 127},
                             {u"10%", 25},
                             {u"100%", 255},
                             {u"0%", 2},
                             {u"%", 2},
                             {u"150%", 255},
                             {u"-20%", 2},
                         }));

struct SpeedCase {
    const char16_t* text;
    int scroll;
    int fade;
};

class EffectSpeedTest : public testing::TestWithParam<SpeedCase> {};

TEST_P(EffectSpeedTest, GivesStepsPerTick) {
    const SpeedCase& c = GetParam();
    EXPECT_EQ(EffectSpeedFromString(QStringView(c.text)), c.scroll) << QString::fromUtf16(c.text).toStdString();
    EXPECT_EQ(BrightEffectSpeedFromString(QStringView(c.text)), c.fade) << QString::fromUtf16(c.text).toStdString();
}

INSTANTIATE_TEST_SUITE_P(Words, EffectSpeedTest,
                         testing::ValuesIn(std::vector<SpeedCase>{
                             {u"Very slow", 15, 15},
                             {u"Slow", 25, 25},
                             {u"Medium", 32, 32},
                             {u"Medium fast", 50, 50},
                             {u"Fast", 64, 64},
                             {u"Instant", 7, 1023},
                             {u"fast", 7, 7},
                             {u"", 7, 7},
                             {u"100%", 64, 64},
                             {u"50%", 32, 32},
                             {u"2%", 1, 1},
                             {u"1%", 1, 1},
                             {u"0%", 1, 1},
                             {u"-1%", 1, 1},
                             {u"96%", 61, 61},
                             {u"500%", 64, 64},
                         }));

} // namespace
