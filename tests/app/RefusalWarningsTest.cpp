#include "app/RefusalWarnings.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr qint64 Minute = RefusalWarnings::IntervalMilliseconds;

QHostAddress address(int n) {
    return QHostAddress(quint32(0x0A000000 + n)); // 10.x.y.z
}

TEST(RefusalWarningsTest, AnAddressIsNamedOnceAMinute) {
    RefusalWarnings warnings;
    const std::optional<QString> first = warnings.refused(address(5), 1000);
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->contains(u"10.0.0.5"_s)) << first->toStdString();
    EXPECT_FALSE(warnings.refused(address(5), 1001));
    EXPECT_FALSE(warnings.refused(address(5), 1000 + Minute - 1));
    EXPECT_TRUE(warnings.refused(address(6), 1002)) << "another address has its own minute";
    EXPECT_TRUE(warnings.refused(address(5), 1000 + Minute));
}

TEST(RefusalWarningsTest, AFloodOfAddressesIsSummedUpAndStaysBounded) {
    constexpr qsizetype Named = 8;
    RefusalWarnings warnings(Named);
    int lines = 0;
    int summaries = 0;
    // Ten thousand addresses in a second, then the same again a little later in the minute.
    for (int n = 0; n < 10'000; ++n) {
        if (const auto line = warnings.refused(address(n), n / 10)) {
            ++lines;
            if (line->contains(u"more addresses than the log names"_s)) {
                ++summaries;
                EXPECT_TRUE(line->contains(u": 1 not named"_s)) << line->toStdString();
            }
        }
    }
    for (int n = 0; n < 10'000; ++n)
        EXPECT_FALSE(warnings.refused(address(n), 2000 + n / 10));
    EXPECT_EQ(lines, Named + 1);
    EXPECT_EQ(summaries, 1);
    EXPECT_LE(warnings.rememberedAddresses(), Named);

    // A minute on, names come free again; once they are taken, the summary counts what went
    // unnamed meanwhile.
    for (int n = 0; n < Named; ++n)
        EXPECT_TRUE(warnings.refused(address(20'000 + n), Minute + 1000));
    const std::optional<QString> summary = warnings.refused(address(30'000), Minute + 1000);
    ASSERT_TRUE(summary);
    EXPECT_TRUE(summary->contains(u"19984 not named"_s)) << summary->toStdString();
    EXPECT_LE(warnings.rememberedAddresses(), Named);
}

} // namespace
