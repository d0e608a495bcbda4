#include "captions/CaptionWords.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// Every word reads as its value and is written back the same; a word in another letter case, or
// with a blank more, reads as nothing.
template <typename Value> struct WordCase {
    QString word;
    Value value;
};

template <typename Value, typename Read, typename Write>
void expectTwoWay(std::initializer_list<WordCase<Value>> cases, Read read, Write write) {
    for (const WordCase<Value>& c : cases) {
        EXPECT_EQ(read(c.word), c.value) << c.word.toStdString();
        EXPECT_EQ(write(c.value), c.word);
        EXPECT_EQ(read(c.word.toUpper()), c.word == c.word.toUpper() ? std::optional(c.value) : std::nullopt);
        EXPECT_EQ(read(c.word + u' '), std::nullopt) << c.word.toStdString();
    }
}

TEST(CaptionWordsTest, SpecialTexts) {
    expectTwoWay<SpecialText>(
        {{u"{BLANK}"_s, SpecialText::Blank}, {u"{CLEAR}"_s, SpecialText::Clear}, {u"{EMPTY}"_s, SpecialText::Empty}},
        SpecialTextFromString, SpecialTextToString);
}

TEST(CaptionWordsTest, EntryEffects) {
    expectTwoWay<EntryEffect>({{u"Fade"_s, EntryEffect::Fade},
                               {u"Instant"_s, EntryEffect::Instant},
                               {u"Scroll Up"_s, EntryEffect::ScrollUp},
                               {u"Caption"_s, EntryEffect::RollUp},
                               {u"Scroll Down"_s, EntryEffect::ScrollDown},
                               {u"Scroll Left"_s, EntryEffect::ScrollLeft},
                               {u"Scroll Right"_s, EntryEffect::ScrollRight},
                               {u"IGNORE"_s, EntryEffect::Ignore}},
                              EntryEffectFromString, EntryEffectToString);
    EXPECT_EQ(EntryEffectFromString(u"Dissolve"), std::nullopt);
}

TEST(CaptionWordsTest, VerticalJustifications) {
    expectTwoWay<VerticalJustification>({{u"Top"_s, VerticalJustification::Top},
                                         {u"Middle"_s, VerticalJustification::Middle},
                                         {u"Bottom"_s, VerticalJustification::Bottom}},
                                        VerticalJustificationFromString, VerticalJustificationToString);
}

TEST(CaptionWordsTest, HorizontalJustifications) {
    expectTwoWay<HorizontalJustification>({{u"Left"_s, HorizontalJustification::Left},
                                           {u"Center"_s, HorizontalJustification::Centre},
                                           {u"Right"_s, HorizontalJustification::Right}},
                                          HorizontalJustificationFromString, HorizontalJustificationToString);
    EXPECT_EQ(HorizontalJustificationFromString(u"Centre"), HorizontalJustification::Centre);
}

// Blanks and control characters go at the ends a justification aligns by; a character above the
// blank, and whatever stands inside the text, stays.
TEST(CaptionWordsTest, AJustifiedTextIsTrimmedAtTheEndsItIsAlignedBy) {
    const QString text = u"\t \x01 two  words\r\n \x1f"_s;
    EXPECT_EQ(TrimmedForJustification(text, HorizontalJustification::Centre), u"two  words");
    EXPECT_EQ(TrimmedForJustification(text, HorizontalJustification::Left), u"\t \x01 two  words");
    EXPECT_EQ(TrimmedForJustification(text, HorizontalJustification::Right), u"two  words\r\n \x1f");
    EXPECT_EQ(TrimmedForJustification(u"\u00a0x!", HorizontalJustification::Centre), u"\u00a0x!");
    EXPECT_EQ(TrimmedForJustification(u" \t ", HorizontalJustification::Centre), u"");
}

} // namespace
