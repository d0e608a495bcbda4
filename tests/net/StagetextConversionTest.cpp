#include "net/StagetextConversion.h"

#include "captions/CaptionDocumentWriter.h"
#include "net/FeedFramer.h"
#include "support/QtPrinters.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <random>

using namespace Qt::Literals::StringLiterals;
using Stagetext::Token;
using Kind = Stagetext::Token::Kind;

namespace {

struct ScanCase {
    const char* name;
    QString text;
    std::vector<Token> tokens;
};

class StagetextScanTest : public testing::TestWithParam<ScanCase> {};

TEST_P(StagetextScanTest, ReadsCommands) {
    EXPECT_EQ(Stagetext::Scan(GetParam().text), GetParam().tokens);
}

INSTANTIATE_TEST_SUITE_P(
    Strings, StagetextScanTest,
    testing::ValuesIn(std::vector<ScanCase>{
        {"Text", u"Hi\n"_s, {{Kind::Text, u'H'}, {Kind::Text, u'i'}, {Kind::Text, u'\n'}}},
        {"ControlCodes", u"\a\t\f\r"_s, {{Kind::Clear}, {Kind::Empty}, {Kind::Blank}, {Kind::LineEnd}}},
        {"DeleteIsRemovedFirst",
         u"\vB\x7F"
         u"A"_s,
         {{Kind::Brightness, u'A'}}},
        {"Brightness", u"\vBAx"_s, {{Kind::Brightness, u'A'}, {Kind::Text, u'x'}}},
        {"Italics", u"\vI1\vI0"_s, {{Kind::Italics, u'1'}, {Kind::Italics, u'0'}}},
        {"Rate", u"\vRB"_s, {{Kind::Rate, u'B'}}},
        {"Justification", u"\vX\vY\vZ"_s, {{Kind::JustifyLeft}, {Kind::JustifyCentre}, {Kind::JustifyRight}}},
        {"UnknownCommandSkipsOneMore", u"\vQab"_s, {{Kind::Discard}, {Kind::Text, u'b'}}},
        {"ParameterMissingAtTheEnd", u"\vB"_s, {{Kind::Brightness, 0}}},
        {"LetterMissingAtTheEnd", u"a\v"_s, {{Kind::Text, u'a'}, {Kind::Discard}}},
        {"ParameterIsAnyCharacter", u"\vR\r"_s, {{Kind::Rate, u'\r'}}},
    }),
    [](const auto& info) { return std::string(info.param.name); });

struct PercentageCase {
    char16_t parameter;
    const char* brightness;
    const char* rate;
};

class StagetextPercentageTest : public testing::TestWithParam<PercentageCase> {};

TEST_P(StagetextPercentageTest, FollowsTheScales) {
    EXPECT_EQ(Stagetext::BrightnessPercentage(GetParam().parameter), QString::fromLatin1(GetParam().brightness));
    EXPECT_EQ(Stagetext::RatePercentage(GetParam().parameter), QString::fromLatin1(GetParam().rate));
}

INSTANTIATE_TEST_SUITE_P(Parameters, StagetextPercentageTest,
                         testing::ValuesIn(std::vector<PercentageCase>{
                             {0, "100%", "98%"},
                             {64, "100%", "98%"},
                             {u'A', "95%", "98%"},
                             {u'B', "91%", "96%"},
                             {u'K', "52%", "82%"},
                             {u'V', "4%", "65%"},
                             {u'W', "0%", "64%"},
                             {u'Z', "0%", "59%"},
                             {u'a', "0%", "48%"},
                             {u'z', "0%", "9%"},
                             {u'~', "0%", "3%"},
                             {128, "0%", "0%"},
                             {129, "0%", "-1%"},
                         }));

class StagetextConverterTest : public testing::Test {
protected:
    TCaptions convert(const QString& text) { return converter.CaptionFromStagetext(text, settings); }

    StagetextSettings settings{false, QString(), 100, 40, u"$00FFFF"_s};
    StagetextConverter converter;
};

TEST_F(StagetextConverterTest, SetsTheDefaults) {
    const TCaptions caption = convert(u"Hello\r"_s);
    EXPECT_EQ(caption.FontName, u"Arial"_s);
    EXPECT_EQ(caption.Size, u"40"_s);
    EXPECT_EQ(caption.Effect, (TEffect{u"Caption"_s, u"Fade"_s, QString()}));
    EXPECT_EQ(caption.Justification, u"Left"_s);
    EXPECT_EQ(caption.Act, u"Act 1"_s);
    EXPECT_EQ(caption.Scene, u"Scene 1"_s);
    EXPECT_EQ(caption.Colour, u"$00FFFF"_s);
    EXPECT_EQ(caption.BackColour, u"Black"_s);
    EXPECT_TRUE(caption.Brightness.isEmpty());
    EXPECT_TRUE(caption.Cue.isEmpty());
    for (const TCaption& column : caption.Caption)
        EXPECT_EQ(column, (TCaption{u"Hello"_s, QString()}));
}

TEST_F(StagetextConverterTest, FontOverrideTakesTheSelectorAndTheAdjustValue) {
    settings = {true, u"DejaVu Sans"_s, 120, 40, u"clRed"_s};
    const TCaptions caption = convert(u"x\r"_s);
    EXPECT_EQ(caption.FontName, u"DejaVu Sans"_s);
    EXPECT_EQ(caption.Size, u"120"_s);
    EXPECT_EQ(caption.Colour, u"clRed"_s);
}

struct TextCase {
    const char* name;
    QString message;
    QString text;
    const char* justification;
};

class StagetextTextTest : public testing::TestWithParam<TextCase> {};

TEST_P(StagetextTextTest, GivesTheCaptionText) {
    StagetextConverter converter;
    const TCaptions caption = converter.CaptionFromStagetext(GetParam().message, {});
    EXPECT_EQ(caption.Caption[0].Text, GetParam().text);
    EXPECT_EQ(caption.Caption[9].Text, GetParam().text);
    EXPECT_EQ(caption.Justification, QString::fromLatin1(GetParam().justification));
}

INSTANTIATE_TEST_SUITE_P(Messages, StagetextTextTest,
                         testing::ValuesIn(std::vector<TextCase>{
                             {"LineEnd", u"Hello\r"_s, u"Hello"_s, "Left"},
                             {"NoLineEnd", u"Hello"_s, QString(), "Left"},
                             {"Clear", u"\a"_s, u"{CLEAR}"_s, "Left"},
                             {"Blank", u"\f"_s, u"{BLANK}"_s, "Left"},
                             {"ClearThenText", u"\aab\r"_s, u"ab"_s, "Left"},
                             {"TextThenTab", u"ab\r\t"_s, QString(), "Left"},
                             {"TwoLinesWithCrLf", u"one\r\ntwo\r\n"_s, u"one\ntwo"_s, "Left"},
                             {"TwoLinesWithCrOnly", u"one\rtwo\r"_s, u"onetwo"_s, "Left"},
                             {"TrailingBlanksAndControls", u"  x \x01 \r"_s, u"  x"_s, "Left"},
                             {"NoteSign", u"^la la^\r"_s, u"\u266Ala la\u266A"_s, "Left"},
                             {"NoteSignOnlyAtALineEnd", u"^"_s, QString(), "Left"},
                             {"UnknownCommandDiscards", u"lost\vQxkept\r"_s, u"kept"_s, "Left"},
                             {"Centred", u"  mid  \r\vY"_s, u"mid"_s, "Center"},
                             {"Right", u"  right\r\vZ"_s, u"right"_s, "Right"},
                             {"LeftAgain", u"  left\r\vZ\vX"_s, u"  left"_s, "Left"},
                             {"ItalicsCentred", u"\vI1word\vI0\r\vY"_s,
                              u"<html><body><P align=\"center\"><i>word</i></P></body></html>"_s, "Center"},
                             {"ItalicsOnlyOnce", u"\vI1\vI1a\r"_s,
                              u"<html><body><P align=\"left\"><i>a</P></body></html>"_s, "Left"},
                             {"ItalicsOffWithoutOn", u"a\vI0\r"_s, u"a"_s, "Left"},
                             {"ItalicsLeaveAClearAlone", u"\vI1Hi\vI0\a"_s, u"{CLEAR}"_s, "Left"},
                             {"ItalicsLeaveABlankAlone", u"\vI1Hi\r\f\vY"_s, u"{BLANK}"_s, "Center"},
                             {"ItalicsLeaveAClearAloneUnclosed", u"\vI1\a\vZ"_s, u"{CLEAR}"_s, "Right"},
                             {"DeleteIgnored", u"H\x7Fi\r"_s, u"Hi"_s, "Left"},
                         }),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(StagetextConverterTest, RateCarriesIntoLaterCaptionsButBrightnessDoesNot) {
    const TCaptions first = convert(u"\vRB\vBAone\r"_s);
    EXPECT_EQ(first.Effect.Speed, u"96%"_s);
    EXPECT_EQ(first.Brightness, u"95%"_s);
    EXPECT_EQ(converter.StagetextSpeed(), u"96%"_s);

    const TCaptions second = convert(u"two\r"_s);
    EXPECT_EQ(second.Effect.Speed, u"96%"_s);
    EXPECT_TRUE(second.Brightness.isEmpty());
}

TEST_F(StagetextConverterTest, CaptionWithoutTextWritesSpaces) {
    const QString document = CaptiontoXML(convert(u"no line end"_s)).text;
    EXPECT_EQ(document.count(u"\" \""_s), 10);
    EXPECT_FALSE(document.contains(u"Brightness"_s));
    EXPECT_FALSE(document.contains(u"Speed"_s));
}

TEST_F(StagetextConverterTest, LineBreaksTravelInStoredForm) {
    const QString document = CaptiontoXML(convert(u"one\r\ntwo\r\n"_s)).text;
    EXPECT_TRUE(document.contains(u"Stream0=\"one&amp;#10;two\""_s));
}

TEST_F(StagetextConverterTest, APathToAPictureEmbedsIt) {
    QTemporaryDir directory;
    QFile picture(directory.filePath(u"slide.BMP"_s));
    ASSERT_TRUE(picture.open(QIODevice::WriteOnly));
    picture.write("BM");
    picture.close();
    QFile sound(directory.filePath(u"cue.wav"_s));
    ASSERT_TRUE(sound.open(QIODevice::WriteOnly));
    sound.close();

    const QString document = CaptiontoXML(convert(picture.fileName() + u'\r')).text;
    EXPECT_TRUE(document.contains(u"Stream0=\"#IMAGE:#Qk0=\""_s));
    EXPECT_EQ(document.count(u"#IMAGE:#"_s), 1); // the other columns repeat it blank
    EXPECT_TRUE(CaptiontoXML(convert(sound.fileName() + u'\r')).text.contains(u"Stream0=\""_s + sound.fileName()));
}

TEST_F(StagetextConverterTest, A4KPictureIsEmbeddedInADocumentTheFeedTakes) {
    QTemporaryDir directory;
    QFile picture(directory.filePath(u"slide.bmp"_s));
    ASSERT_TRUE(picture.open(QIODevice::WriteOnly));
    picture.write("BM");
    ASSERT_TRUE(picture.resize(3840 * 2160 * 4 + 54)); // a 32-bit 4K BMP; sparse, it costs no disk
    picture.close();

    const QString document = CaptiontoXML(convert(picture.fileName() + u'\r')).text;
    EXPECT_TRUE(document.contains(u"Stream0=\"#IMAGE:#Qk0"_s));
    EXPECT_LT(document.size(), FeedFramer::MaxDocumentUnits);
}

TEST(StagetextConverterRobustnessTest, RandomStringsConvert) {
    std::mt19937 random(3);
    StagetextConverter converter;
    for (int round = 0; round < 5000; ++round) {
        QString text;
        for (int i = int(random() % 24); i > 0; --i)
            text += QChar(char16_t(random() % 3 == 0 ? random() % 0x10000 : random() % 0x80));
        const TCaptions caption = converter.CaptionFromStagetext(text, {});
        ASSERT_EQ(caption.Effect.InEffect, u"Caption"_s);
    }
    EXPECT_EQ(converter.CaptionFromStagetext(u"ok\r"_s, {}).Caption[0].Text, u"ok"_s);
}

} // namespace
