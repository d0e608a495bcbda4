#include "captions/CaptionDocumentReader.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>
#include <random>

using namespace Qt::Literals::StringLiterals;

namespace {

// Reads documents one after another, as the display does.
class CaptionDocumentReaderTest : public testing::Test {
protected:
    std::optional<QString> read(const QString& text) { return ReadCaptionDocument(text, state); }

    static QString cue(const QString& inner, const QString& attributes = u"Act=\"Act 1\" Cue=\"7\""_s) {
        return u"<Surtitles><Cue %1>%2</Cue></Surtitles>"_s.arg(attributes, inner);
    }

    CaptionDocumentState state;
};

TEST_F(CaptionDocumentReaderTest, ReadsEveryField) {
    const QString document =
        cue(u"<Captions Stream0=\"Hello\" StrName0=\"English\" Stream1=\"Bonjour\" StrName1=\"French\"/>"
            u"<Font Colour=\"Red\" BackColour=\"Blue\" Size=\"Large\" Name=\"Times New Roman\"/>"
            u"<Effects InEffect=\"Fade\" OutEffect=\"Fade\" Speed=\"Fast\" Justification=\"Left\""
            u" VerticalJustification=\"Top\" Brightness=\"Dim\" OverallBrightness=\"50\"/>"
            u"<Comment Text=\"note\"/><Language Name=\"French\"/>"_s,
            u"Act=\"Act 2\" Scene=\"Scene 3\" Cue=\"12\""_s);
    ASSERT_EQ(read(document), u"French"_s);

    const TCaptions& c = state.current;
    EXPECT_EQ(c.Caption[0], (TCaption{u"Hello"_s, u"English"_s}));
    EXPECT_EQ(c.Caption[1], (TCaption{u"Bonjour"_s, u"French"_s}));
    EXPECT_EQ(c.Caption[2], TCaption{});
    EXPECT_EQ(c.Colour, u"Red"_s);
    EXPECT_EQ(c.BackColour, u"Blue"_s);
    EXPECT_EQ(c.Size, u"Large"_s);
    EXPECT_EQ(c.FontName, u"Times New Roman"_s);
    EXPECT_EQ(c.Effect, (TEffect{u"Fade"_s, u"Fade"_s, u"Fast"_s}));
    EXPECT_EQ(c.Justification, u"Left"_s);
    EXPECT_EQ(c.VertJust, u"Top"_s);
    EXPECT_EQ(c.Brightness, u"Dim"_s);
    EXPECT_EQ(c.Comment, u"note"_s);
    EXPECT_EQ(c.Act, u"Act 2"_s);
    EXPECT_EQ(c.Scene, u"Scene 3"_s);
    EXPECT_EQ(c.Cue, u"12"_s);
    EXPECT_EQ(state.overallBrightness, u"50"_s);
}

TEST_F(CaptionDocumentReaderTest, MissingElementsGiveTheDefaults) {
    ASSERT_TRUE(read(u"<Surtitles><Cue/></Surtitles>"_s));
    const TCaptions& c = state.current;
    EXPECT_EQ(c.FontName, u"Arial"_s);
    EXPECT_EQ(c.Size, u"Medium"_s);
    EXPECT_EQ(c.Colour, u"Yellow"_s);
    EXPECT_EQ(c.BackColour, u"Black"_s);
    EXPECT_EQ(c.Effect, (TEffect{u"Instant"_s, QString(), u"Slow"_s}));
    EXPECT_EQ(c.Justification, u"Centre"_s);
    EXPECT_EQ(c.Brightness, u"Bright"_s);
    EXPECT_EQ(state.overallBrightness, u"100"_s);
    EXPECT_TRUE(c.Act.isEmpty());
    EXPECT_TRUE(c.Scene.isEmpty());
    EXPECT_TRUE(c.Cue.isEmpty());
}

TEST_F(CaptionDocumentReaderTest, VertJustAndCommentCarryOverButCueDoesNot) {
    ASSERT_TRUE(read(cue(u"<Effects VerticalJustification=\"Top\"/><Comment Text=\"kept\"/>"
                         u"<Font Colour=\"Red\"/>"_s)));
    ASSERT_TRUE(read(u"<Surtitles><Cue Scene=\"S\"/></Surtitles>"_s));
    EXPECT_EQ(state.current.VertJust, u"Top"_s);
    EXPECT_EQ(state.current.Comment, u"kept"_s);
    EXPECT_EQ(state.current.Colour, u"Yellow"_s);
    EXPECT_TRUE(state.current.Cue.isEmpty());
    EXPECT_EQ(state.previous.Cue, u"7"_s);
    EXPECT_EQ(state.previous.Colour, u"Red"_s);
}

TEST_F(CaptionDocumentReaderTest, LanguageIndexIsKept) {
    state.current.LanguageIndex = 4;
    ASSERT_TRUE(read(cue(QString())));
    EXPECT_EQ(state.current.LanguageIndex, 4);
    EXPECT_EQ(state.previous.LanguageIndex, 4);
}

TEST_F(CaptionDocumentReaderTest, SeveralCaptionElementsAreReadInTurn) {
    ASSERT_EQ(read(u"<Surtitles><Cue Cue=\"1\"><Captions Stream0=\"first\"/><Language Name=\"A\"/></Cue>"
                   u"<Cue Cue=\"2\"><Captions Stream0=\"second\"/></Cue></Surtitles>"_s),
              u"A"_s);
    EXPECT_EQ(state.current.Caption[0].Text, u"second"_s);
    EXPECT_EQ(state.current.Cue, u"2"_s);
    EXPECT_EQ(state.previous.Caption[0].Text, u"first"_s);
}

TEST_F(CaptionDocumentReaderTest, LaterElementsWinAndOtherNamesAreIgnored) {
    ASSERT_TRUE(read(cue(u"<Font Colour=\"Red\" Size=\"Small\"/><font Colour=\"Blue\"/><Font Colour=\"Green\"/>"
                         u"<Effects speed=\"Fast\"/><Language Name=\"A\"/><Language Name=\"B\"/>"_s)));
    EXPECT_EQ(state.current.Colour, u"Green"_s);
    EXPECT_EQ(state.current.Size, u"Small"_s); // what the later element leaves out stays as set
    EXPECT_EQ(state.current.Effect.Speed, u"Slow"_s);
}

TEST_F(CaptionDocumentReaderTest, ColumnsAreNamedByTheDigitsAfterThePrefix) {
    ASSERT_TRUE(read(cue(u"<Captions Stream7=\"seven\" StrName7=\"Deutsch\" Stream=\"bare\" Stream10=\"ten\""
                         u" Stream-1=\"minus\" Stream007=\"padded\" StrName3x=\"three\"/>"_s)));
    const TCaptions& c = state.current;
    EXPECT_EQ(c.Caption[7], (TCaption{u"padded"_s, u"Deutsch"_s}));
    EXPECT_EQ(c.Caption[0].Text, u"bare"_s);
    EXPECT_EQ(c.Caption[3].Language, u"three"_s);
    for (int column : {1, 2, 4, 5, 6, 8, 9})
        EXPECT_EQ(c.Caption[column], TCaption{}) << column;
}

TEST_F(CaptionDocumentReaderTest, DecodesTheStoredFormOfColumns) {
    ASSERT_TRUE(read(cue(u"<Captions Stream0=\"one&amp;#13;&amp;#10;two&#10;three\" StrName0=\"Fran&amp;#231;ais\""
                         u" Stream1=\"a\u0019b\"/>"_s)));
    EXPECT_EQ(state.current.Caption[0].Text, u"one\r\ntwo\nthree"_s);
    EXPECT_EQ(state.current.Caption[0].Language, QString::fromUtf16(u"Fran\u00E7ais"));
    EXPECT_EQ(state.current.Caption[1].Text, u"a b"_s);
}

TEST_F(CaptionDocumentReaderTest, EightBitFieldsKeepOnlyWhatTheCodePageHas) {
    ASSERT_TRUE(read(cue(u"<Captions StrName0=\"\u0420\u0443\u0441\"/><Effects InEffect=\"Fade\u266A\"/>"_s)));
    EXPECT_EQ(state.current.Caption[0].Language, u"???"_s);
    EXPECT_EQ(state.current.Effect.InEffect, u"Fade?"_s);
}

TEST_F(CaptionDocumentReaderTest, ARootWithoutChildrenChangesNothing) {
    ASSERT_TRUE(read(cue(u"<Captions Stream0=\"shown\"/>"_s)));
    const CaptionDocumentState before = state;
    EXPECT_EQ(read(u"<Surtitles/>"_s), QString());
    EXPECT_EQ(state, before);
}

TEST_F(CaptionDocumentReaderTest, ATextThatDoesNotParseChangesNothing) {
    ASSERT_TRUE(read(cue(u"<Captions Stream0=\"shown\"/>"_s)));
    const CaptionDocumentState before = state;
    for (const QString& broken : {u"<Surtitles><Cue></Surtitles>"_s, u""_s, u"not xml"_s,
                                  u"<Surtitles><Cue Act=\"1\" Act=\"2\"/></Surtitles>"_s}) {
        EXPECT_FALSE(read(broken)) << broken.toStdString();
        EXPECT_EQ(state, before);
    }
}

struct LineCase {
    const char* name;
    const char16_t* text;
    bool parsed;
};

class CaptionDocumentLinesTest : public testing::TestWithParam<LineCase> {};

TEST_P(CaptionDocumentLinesTest, OnlyTheLastLineIsRead) {
    CaptionDocumentState state;
    EXPECT_EQ(ReadCaptionDocument(QStringView(GetParam().text), state).has_value(), GetParam().parsed);
}

INSTANTIATE_TEST_SUITE_P(
    Documents, CaptionDocumentLinesTest,
    testing::ValuesIn(std::vector<LineCase>{
        {"OneLine", u"<Surtitles><Cue/></Surtitles>", true},
        {"EndsInCrLf", u"<Surtitles><Cue/></Surtitles>\r\n", true},
        {"DeclarationLine", u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<Surtitles><Cue/></Surtitles>\r\n", true},
        {"SeveralCrLfLines", u"<Surtitles>\r\n<Cue/>\r\n</Surtitles>", false},
        {"SeveralCrLfLinesAndFinalCrLf", u"<Surtitles>\r\n<Cue/>\r\n</Surtitles>\r\n", false},
        {"LfLines", u"<Surtitles>\n<Cue/>\n</Surtitles>\n", true},
    }),
    [](const auto& info) { return std::string(info.param.name); });

struct PrepareCase {
    const char16_t* text;
    const char16_t* prepared;
};

class PrepareCaptionDocumentTextTest : public testing::TestWithParam<PrepareCase> {};

TEST_P(PrepareCaptionDocumentTextTest, KeepsTheLastLine) {
    EXPECT_EQ(PrepareCaptionDocumentText(QStringView(GetParam().text)), QString::fromUtf16(GetParam().prepared));
}

INSTANTIATE_TEST_SUITE_P(Texts, PrepareCaptionDocumentTextTest,
                         testing::ValuesIn(std::vector<PrepareCase>{
                             {u"abc", u"abc"},
                             {u"abc\r\n", u"abc\r\n"},
                             {u"a\r\nb\r\nc", u"c"},
                             {u"a\r\nb\r\n", u"b\r\n"},
                             {u"a\r\n\r\n", u"\r\n"},
                             {u"a\r\r\n", u"a\r\r\n"},
                             {u"\r\n\n", u"\n"},
                             {u"x\u0019y\u0019", u"x y "},
                         }));

TEST(CaptionDocumentReaderRobustnessTest, RandomTextLeavesTheReaderWorking) {
    std::mt19937 random(20261210);
    CaptionDocumentState state;
    const QString fragments[] = {
        u"<Surtitles>"_s, u"</Surtitles>"_s, u"<Cue "_s, u"/>"_s, u"<Captions Stream"_s, u"=\""_s, u"\""_s, u"&amp;#"_s,
        u";"_s,           u"\r\n"_s,         u">"_s,     u"&#"_s};
    for (int round = 0; round < 2000; ++round) {
        QString text;
        const int pieces = int(random() % 20);
        for (int i = 0; i < pieces; ++i) {
            if (random() % 3 == 0)
                text += QChar(char16_t(random() % 0x10000));
            else
                text += fragments[random() % std::size(fragments)];
        }
        ReadCaptionDocument(text, state);
    }
    ASSERT_TRUE(ReadCaptionDocument(u"<Surtitles><Cue><Captions Stream0=\"ok\"/></Cue></Surtitles>"_s, state));
    EXPECT_EQ(state.current.Caption[0].Text, u"ok"_s);
}

} // namespace
