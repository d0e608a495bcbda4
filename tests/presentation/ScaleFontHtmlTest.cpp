#include "presentation/ScaleFontHtml.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    const char16_t* text;
    int scale;
    const char16_t* scaled;
};

class ScaleFontHtmlTest : public testing::TestWithParam<Case> {};

TEST_P(ScaleFontHtmlTest, ScalesFontSizes) {
    EXPECT_EQ(ScaleFontHTML(QString::fromUtf16(GetParam().text), GetParam().scale),
              QString::fromUtf16(GetParam().scaled));
}

INSTANTIATE_TEST_SUITE_P(Texts, ScaleFontHtmlTest,
                         testing::ValuesIn(std::vector<Case>{
                             {u"font-size:20px", 150, u"font-size:30px"},
                             {u"font-size:20px", 100, u"font-size:20px"},
                             {u"FONT-SIZE:20pt", 150, u"FONT-SIZE:20pt"},
                             {u"a font-size: 20pt b font-size:7", 200, u"a font-size:40pt b font-size:14"},
                             {u"font-size:pt", 150, u"font-size:0pt"},
                             {u"font-size:-10px", 50, u"font-size:5px"}, // the sign goes with a stranger after it
                             {u"font-size:123456789", 10, u"font-size:12345679"}, // eight characters are read
                             {u"font-size:1000000pt", 12, u"font-size:120000pt"},
                             {u"font-size:", 200, u"font-size:0"},
                         }));

} // namespace
