#include "captions/AnsiCodePage.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace {

TEST(AnsiCodePageTest, EveryByteSurvivesARoundTrip) {
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    EXPECT_EQ(AnsiCodePage::fromUnicode(AnsiCodePage::toUnicode(all)), all);
}

TEST(AnsiCodePageTest, DecodesTheWindowsRange) {
    EXPECT_EQ(AnsiCodePage::toUnicode("\x80\x93\x94\x9F\xE9"), QString::fromUtf16(u"\u20AC\u201C\u201D\u0178\u00E9"));
    EXPECT_EQ(AnsiCodePage::toUnicode("\x81"), QString(QChar(0x81)));
}

TEST(AnsiCodePageTest, CharactersTheCodePageLacksBecomeQuestionMarks) {
    EXPECT_EQ(AnsiCodePage::fromUnicode(u"a\u0416\u266Ab"), QByteArray("a??b"));
    EXPECT_EQ(AnsiCodePage::roundTrip(QString::fromUtf16(u"Fran\u00E7ais \u0420\u0443\u0441")),
              QString::fromUtf16(u"Fran\u00E7ais ???"));
}

} // namespace
