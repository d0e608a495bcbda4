#include "net/ControlMessage.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

struct Case {
    const char* name;
    QByteArray message;
    ControlMessageKind kind;
};

class ClassifyControlMessageTest : public testing::TestWithParam<Case> {};

TEST_P(ClassifyControlMessageTest, Classifies) {
    EXPECT_EQ(ClassifyControlMessage(GetParam().message), GetParam().kind);
}

INSTANTIATE_TEST_SUITE_P(Messages, ClassifyControlMessageTest,
                         testing::ValuesIn(std::vector<Case>{
                             {"Query", "\x0B?0", ControlMessageKind::StatusQuery},
                             {"QueryWithLineEnd", "\x0B?0\r\n", ControlMessageKind::Stagetext},
                             {"TwoQueries", "\x0B?0\x0B?0", ControlMessageKind::Stagetext},
                             {"QueryAndCaption", "\x0B?0Hello\r", ControlMessageKind::Stagetext},
                             {"ShortQuery", "\x0B?", ControlMessageKind::Stagetext},
                             {"Ignored", "\x0BTL", ControlMessageKind::Ignored},
                             {"IgnoredWithText", "\x0BTLanything\r", ControlMessageKind::Ignored},
                             {"Empty", "", ControlMessageKind::Stagetext},
                             {"Caption", "Hello\r", ControlMessageKind::Stagetext},
                         }),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ControlMessageTest, DecodesTheCodePage) {
    EXPECT_EQ(DecodeControlMessage("caf\xE9 \x80\r"), QString::fromUtf16(u"caf\u00E9 \u20AC\r"));
    EXPECT_EQ(DecodeControlMessage(QByteArray("\0a", 2)), QString(u"\0a"_s));
}

TEST(ReplyStringTest, WritesTheSevenLines) {
    const DisplayStatus status{1920, 540, u"Arial"_s, 0x00FFFF, 0x00FF8000, 34, 2};
    EXPECT_EQ(ReplyString(status), QByteArray("DisplayWidth=1920\r\n"
                                              "DisplayHeight=540\r\n"
                                              "DisplayFontName=Arial\r\n"
                                              "DisplayFontColor=clYellow\r\n"
                                              "DisplayBrushColor=$00FF8000\r\n"
                                              "DisplayFontSize=34\r\n"
                                              "DisplayLines=2\r\n"));
}

TEST(ReplyStringTest, FontNameTravelsInTheCodePage) {
    const DisplayStatus status{704, 128, u"Caf\u00E9 %1 \u0416"_s, 0, 0xFF00000F, 8, 1};
    const QByteArray reply = ReplyString(status);
    EXPECT_TRUE(reply.contains("DisplayFontName=Caf\xE9 %1 ?\r\n"));
    EXPECT_TRUE(reply.contains("DisplayFontColor=clBlack\r\n"));
    EXPECT_TRUE(reply.contains("DisplayBrushColor=clBtnFace\r\n"));
}

} // namespace
