#include "captions/StoredForm.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    const char16_t* stored;
    const char16_t* memo;
};

class StoredStringToMemoStringTest : public testing::TestWithParam<Case> {};

TEST_P(StoredStringToMemoStringTest, DecodesReferences) {
    EXPECT_EQ(StoredStringToMemoString(QString::fromUtf16(GetParam().stored)), QString::fromUtf16(GetParam().memo))
        << QString::fromUtf16(GetParam().stored).toStdString();
}

INSTANTIATE_TEST_SUITE_P(References, StoredStringToMemoStringTest,
                         testing::ValuesIn(std::vector<Case>{
                             {u"", u""},
                             {u"plain & simple", u"plain & simple"},
                             {u"one&#13;&#10;two", u"one\r\ntwo"},
                             {u"&#233;t&#xE9;", u"\u00E9t\u00E9"},
                             {u"&#x41;", u"A"},
                             {u"&#$41;", u"A"},
                             {u"&#;", u"&#;"},
                             {u"&#12a;", u"&#12a;"},
                             {u"&#65", u"&#65"},
                             {u"a&#38;#65;", u"a&#65;"}, // a decoded character is not read again
                             {u"&#&#66;", u"&#B"},
                             {u"&#65537;", u"\u0001"}, // modulo 65536
                             {u"&#-1;", u"\uFFFF"},
                             {u"&# 67;x", u"Cx"},
                             {u"&#65;&#66;&#67;", u"ABC"},
                             {u"&#65 ;", u"&#65 ;"},
                         }));

TEST(MemoStringToStoredStringTest, EscapesControlCharactersOnly) {
    EXPECT_EQ(MemoStringToStoredString(u"one\r\ntwo"), QStringLiteral("one&#13;&#10;two"));
    EXPECT_EQ(MemoStringToStoredString(QStringView(u"\u0000\u001F\u0020&#", 5)), QStringLiteral("&#0;&#31; &#"));
    EXPECT_EQ(MemoStringToStoredString(u"\u00E9\u266A"), QString::fromUtf16(u"\u00E9\u266A"));
    EXPECT_EQ(MemoStringToStoredString(u""), QStringLiteral(" "));
}

TEST(StoredStringToMemoStringTest, LeavesASharedTextAlone) {
    const QString stored = QStringLiteral("a&#65;b");
    const QString shared = stored;
    EXPECT_EQ(StoredStringToMemoString(shared), QStringLiteral("aAb"));
    EXPECT_EQ(shared, QStringLiteral("a&#65;b"));
}

TEST(StoredFormTest, ControlCharactersSurviveARoundTrip) {
    QString memo;
    for (char16_t c = 0; c < 40; ++c)
        memo += QChar(c);
    EXPECT_EQ(StoredStringToMemoString(MemoStringToStoredString(memo)), memo);
}

} // namespace
