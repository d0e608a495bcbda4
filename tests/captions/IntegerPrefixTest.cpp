#include "captions/IntegerPrefix.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    const char16_t* text;
    qint32 value;
    bool complete;
};

class IntegerPrefixTest : public testing::TestWithParam<Case> {};

TEST_P(IntegerPrefixTest, ReadsValueAndCompleteness) {
    const Case& c = GetParam();
    const IntegerReading reading = ReadInteger(QStringView(c.text));
    EXPECT_EQ(reading.value, c.value) << QString::fromUtf16(c.text).toStdString();
    EXPECT_EQ(reading.complete, c.complete) << QString::fromUtf16(c.text).toStdString();
    EXPECT_EQ(IntegerPrefix(QStringView(c.text)), c.value);
}

INSTANTIATE_TEST_SUITE_P(Numbers, IntegerPrefixTest,
                         testing::ValuesIn(std::vector<Case>{
                             {u"", 0, false},
                             {u"0", 0, true},
                             {u"18", 18, true},
                             {u"   42", 42, true},
                             {u"+7", 7, true},
                             {u"-5", -5, true},
                             {u"$FF", 255, true},
                             {u"$ff", 255, true},
                             {u"x1F", 31, true},
                             {u"X1f", 31, true},
                             {u"0x10", 16, true},
                             {u"0X10", 16, true},
                             {u"-$10", -16, true},
                             {u"$FFFFFFFF", -1, true},
                             {u"2147483647", 2147483647, true},
                             {u"-2147483648", -2147483647 - 1, true},
                         }));

// A stranger stops the reading: the digits so far count, without their sign.
INSTANTIATE_TEST_SUITE_P(Prefixes, IntegerPrefixTest,
                         testing::ValuesIn(std::vector<Case>{
                             {u"50%", 50, false},
                             {u"-5%", 5, false},
                             {u"abc", 0, false},
                             {u"12pt", 12, false},
                             {u"12 ", 12, false},
                             {u"\t5", 0, false},
                             {u"$FFg", 255, false},
                             {u"$", 0, false},
                             {u"-", 0, false},
                             {u"0x", 0, false},
                             {u"1 2", 1, false},
                             {u"2147483648", 214748364, false},
                             {u"$123456789", 0x12345678, false},
                         }));

} // namespace

namespace {

TEST(IntegerPrefixTest, TellsHowManyCharactersTheReadingUsed) {
    EXPECT_EQ(ReadInteger(u"50%").length, 2);
    EXPECT_EQ(ReadInteger(u" -5px").length, 3);
    EXPECT_EQ(ReadInteger(u"$FFg").length, 3);
    EXPECT_EQ(ReadInteger(u"px").length, 0);
    EXPECT_EQ(ReadInteger(u"12").length, 2);
}

} // namespace
