#include "support/CaptionDocumentBuilder.h"

#include "captions/CaptionDocumentReader.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

// The tests' shared document builder writes what the display reads as the records a test means:
// otherwise every test built on it would check something else than it says.

namespace {

TEST(CaptionDocumentBuilderTest, WritesTheRecordsItIsGiven) {
    const QString document = CaptionDocumentBuilder()
                                 .cue(u"12"_s)
                                 .stream(0, u"Hello"_s, u"English"_s)
                                 .stream(1, u"line&#13;&#10;two"_s, u"French"_s)
                                 .columnLanguage(2, u"German"_s)
                                 .language(u"French"_s)
                                 .colours(u"Red"_s, u"Blue"_s)
                                 .fontSize(u"Large"_s)
                                 .fontName(u"Times New Roman"_s)
                                 .effect(EntryEffect::ScrollUp, u"Fast"_s)
                                 .effectsAttributes(u"Brightness=\"Dim\""_s)
                                 .cueElements(u"<Comment Text=\"note\"/>"_s)
                                 .xml();
    CaptionDocumentState state;
    ASSERT_EQ(ReadCaptionDocument(document, state), u"French"_s) << document.toStdString();
    const TCaptions& c = state.current;
    EXPECT_EQ(c.Cue, u"12"_s);
    EXPECT_EQ(c.Caption[0], (TCaption{u"Hello"_s, u"English"_s}));
    EXPECT_EQ(c.Caption[1], (TCaption{u"line\r\ntwo"_s, u"French"_s}));
    EXPECT_EQ(c.Caption[2], (TCaption{QString(), u"German"_s}));
    EXPECT_EQ(c.Colour, u"Red"_s);
    EXPECT_EQ(c.BackColour, u"Blue"_s);
    EXPECT_EQ(c.Size, u"Large"_s);
    EXPECT_EQ(c.FontName, u"Times New Roman"_s);
    EXPECT_EQ(c.Effect.InEffect, u"Scroll Up"_s);
    EXPECT_EQ(c.Effect.Speed, u"Fast"_s);
    EXPECT_EQ(c.Brightness, u"Dim"_s);
    EXPECT_EQ(c.Comment, u"note"_s);
    EXPECT_EQ(ShownColumn(c, u"French"), 1);
}

TEST(CaptionDocumentBuilderTest, EnglishShowsColumnZeroAndEveryStreamFillsAllTen) {
    CaptionDocumentState state;
    const std::optional<QString> language = ReadCaptionDocument(CaptionDocumentBuilder().english(u"Hi"_s).xml(), state);
    ASSERT_TRUE(language);
    EXPECT_EQ(ShownColumn(state.current, *language), 0);
    EXPECT_EQ(state.current.Caption[0].Text, u"Hi"_s);

    ASSERT_TRUE(ReadCaptionDocument(
        CaptionDocumentBuilder().everyStream(u"a"_s).specialText(3, SpecialText::Clear).xml(), state));
    for (int column = 0; column < CaptionDocumentBuilder::Columns; ++column)
        EXPECT_EQ(state.current.Caption[std::size_t(column)].Text, column == 3 ? u"{CLEAR}"_s : u"a"_s) << column;
}

} // namespace
