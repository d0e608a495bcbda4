#include "presentation/HtmlTextPreparation.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

struct JoinCase {
    QStringList lines;
    QString joined;
};

class JoinHtmlLinesTest : public testing::TestWithParam<JoinCase> {};

TEST_P(JoinHtmlLinesTest, JoinsTagToTagDirectlyAndOtherwiseWithASpace) {
    EXPECT_EQ(joinHtmlLines(GetParam().lines), GetParam().joined);
}

const JoinCase JoinCases[] = {
    {{}, u""_s},
    {{u"one"_s}, u"one"_s},
    {{u"one"_s, u"two"_s}, u"one two"_s},
    {{u"<B>one</B>"_s, u"<I>two</I>"_s}, u"<B>one</B><I>two</I>"_s},
    {{u"one</B>"_s, u"two"_s}, u"one</B> two"_s},
    {{u"one"_s, u"<I>two"_s}, u"one <I>two"_s},
    {{u"a"_s, u""_s, u"b"_s}, u"a  b"_s},
};

INSTANTIATE_TEST_SUITE_P(Cases, JoinHtmlLinesTest, testing::ValuesIn(JoinCases));

struct PrepareCase {
    QString markup;
    QString prepared;
    Mnemonics mnemonics;
};

void PrintTo(const PrepareCase& c, std::ostream* out) {
    PrintTo(c.markup, out);
}

class PrepareHtmlTextTest : public testing::TestWithParam<PrepareCase> {};

TEST_P(PrepareHtmlTextTest, ResolvesReferencesAndChoosesTheAmpersandRule) {
    const PreparedHtml prepared = prepareHtmlText(GetParam().markup);
    EXPECT_EQ(prepared.text, GetParam().prepared);
    EXPECT_EQ(prepared.mnemonics, GetParam().mnemonics);
}

const PrepareCase PrepareCases[] = {
    // An ampersand between spaces makes every ampersand literal; otherwise the prefix rule holds.
    {u"Tom & Jerry"_s, u"Tom & Jerry"_s, Mnemonics::Literal},
    {u"Tom&Jerry"_s, u"Tom&Jerry"_s, Mnemonics::Underline},
    {u"Tom &amp; Jerry"_s, u"Tom && Jerry"_s, Mnemonics::Underline},
    {u"&Eacute;t&eacute; &euro;5 &frac12; &quot;x&apos;"_s, u"Été €5 ½ \"x'"_s, Mnemonics::Underline},
    {u"&EACUTE; &eacute &unknown; &&eacute;"_s, u"&EACUTE; &eacute &unknown; &é"_s, Mnemonics::Underline},
    {u"&amp;eacute; &amp;#65;"_s, u"&&eacute; &&#65;"_s, Mnemonics::Underline},
    {u"<#abc> <#x"_s, u"#abc <#x"_s, Mnemonics::Underline},
    {u"&#65;&#x42;&#233;&#128512;"_s, u"ABé😀"_s, Mnemonics::Underline},
    {u"&&#65; &#1234567; &#x4; &#x414; &#; &#0;"_s, u"&&#65; &#1234567; &#x4; &#x414; &#; &#0;"_s,
     Mnemonics::Underline},
    {u"one\r\ntwo\rthree\nfour"_s, u"one<BR>two<BR>threefour"_s, Mnemonics::Underline},
    {u"&#13;&lt;&nbsp;"_s, u"<BR>&lt;&nbsp;"_s, Mnemonics::Underline},
};

INSTANTIATE_TEST_SUITE_P(Cases, PrepareHtmlTextTest, testing::ValuesIn(PrepareCases));

TEST(DecodeRunReferencesTest, ResolvesNonBreakingSpacesAndAngleBrackets) {
    EXPECT_EQ(decodeRunReferences(u"&lt;b&gt;&nbsp;&amp;&&nbsp&lt;"), u"<b> &amp;&&nbsp<"_s);
    EXPECT_EQ(decodeRunReferences(u"plain"), u"plain"_s);
}

} // namespace
