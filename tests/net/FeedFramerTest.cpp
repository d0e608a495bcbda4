#include "net/FeedFramer.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>
#include <random>

using namespace Qt::Literals::StringLiterals;

namespace {

QByteArray utf16le(const QString& text) {
    QByteArray bytes;
    for (const QChar c : text) {
        bytes.append(char(c.unicode() & 0xFF));
        bytes.append(char(c.unicode() >> 8));
    }
    return bytes;
}

const QString DocA = u"<Surtitles><Cue><Captions Stream0=\"A\"/></Cue></Surtitles>"_s;
const QString DocB = u"<Surtitles><Cue><Captions Stream0=\"\u266A B\"/></Cue></Surtitles>"_s;

struct Read {
    QString text;
    QStringList documents;
    bool ok;
};

struct Case {
    const char* name;
    std::vector<Read> reads;
};

class FeedFramerReadsTest : public testing::TestWithParam<Case> {};

TEST_P(FeedFramerReadsTest, FramesDocumentsAndAcknowledgesReads) {
    FeedFramer framer;
    int index = 0;
    for (const Read& read : GetParam().reads) {
        const FeedFramer::Result result = framer.receive(utf16le(read.text));
        EXPECT_EQ(result.documents, read.documents) << "read " << index;
        EXPECT_EQ(result.sendOk, read.ok) << "read " << index;
        ++index;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Streams, FeedFramerReadsTest,
    testing::ValuesIn(std::vector<Case>{
        {"OneDocumentInOneRead", {{DocA, {DocA}, true}}},
        {"OneDocumentOverThreeReads",
         {{DocA.first(5), {}, false}, {DocA.sliced(5, 20), {}, false}, {DocA.sliced(25), {DocA}, true}}},
        {"LeadingTextIsDropped", {{u"junk"_s + DocA, {DocA}, true}}},
        {"TwoDocumentsOneAcknowledgement", {{DocA + DocB, {DocA, DocB}, true}}},
        {"HalfASecondDocumentWaits", {{DocA + DocB.first(15), {DocA}, true}, {DocB.sliced(15), {DocB}, true}}},
        {"TrailingLineEndIsDropped", {{DocA + u"\r\n"_s, {DocA}, true}, {DocB, {DocB}, true}}},
        {"EndTagBeforeStartTagStillAcknowledges",
         {{u"</Surtitles><Surtitles>text"_s, {}, true}, {u"</Surtitles>"_s, {u"<Surtitles>text</Surtitles>"_s}, true}}},
        {"RootWithAttributeIsNeverFramed",
         {{u"<Surtitles xmlns=\"x\"><Cue/></Surtitles>"_s, {}, false}, {DocA, {DocA}, true}}},
        {"StrayEndTagAfterADocumentGoesWithIt",
         {{DocA + u"</Surtitles>"_s, {DocA}, true}, {u"<Surtitles>x"_s, {}, false}}},
        {"StrayEndTagCountsOnceAStartTagArrives",
         {{u"</Surtitles>"_s, {}, false},
          {u"<Surtitles>x"_s, {}, true},
          {u"</Surtitles>"_s, {u"<Surtitles>x</Surtitles>"_s}, true}}},
        {"StrayEndTagBetweenDocumentsDelaysNothing", {{DocA + u"</Surtitles>"_s + DocB, {DocA, DocB}, true}}},
        {"NestedStartTagBelongsToTheDocument",
         {{u"<Surtitles>a<Surtitles>b</Surtitles>"_s, {u"<Surtitles>a<Surtitles>b</Surtitles>"_s}, true}}},
        {"TagsAreCaseSensitive", {{u"<surtitles>x</surtitles>"_s, {}, false}}},
        {"NulCharactersAreKept", {{u"<Surtitles>\0</Surtitles>"_s, {u"<Surtitles>\0</Surtitles>"_s}, true}}},
        {"EmptyRead", {{QString(), {}, false}}},
    }),
    [](const auto& info) { return std::string(info.param.name); });

// Documents with text between them, cut into reads of random sizes: any cut, odd ones included,
// frames the same documents.
TEST(FeedFramerTest, AnySplitOfTheStreamFramesTheSameDocuments) {
    const QString stream = u"noise "_s + DocA + u"\r\n"_s + DocB + u"</Surtitles>"_s + DocA + u"<Surt"_s + DocB;
    const QByteArray bytes = utf16le(stream);
    const QStringList expected = {DocA, DocB, DocA, DocB};

    std::mt19937 random(7);
    for (int round = 0; round < 500; ++round) {
        FeedFramer framer;
        QStringList documents;
        for (qsizetype at = 0; at < bytes.size();) {
            const qsizetype size = std::min<qsizetype>(bytes.size() - at, random() % 40);
            documents += framer.receive(QByteArrayView(bytes).sliced(at, size)).documents;
            at += size;
        }
        ASSERT_EQ(documents, expected) << "round " << round;
        EXPECT_EQ(framer.bufferedUnits(), 0);
    }
}

TEST(FeedFramerTest, ClearForgetsAHalfDocumentAndAnOddByte) {
    FeedFramer framer;
    const QByteArray bytes = utf16le(DocA);
    framer.receive(bytes.first(41));
    framer.clear();
    EXPECT_EQ(framer.bufferedUnits(), 0);
    EXPECT_EQ(framer.receive(utf16le(DocB)).documents, QStringList{DocB});
}

TEST(FeedFramerTest, TextWithoutTagsIsNotHeld) {
    FeedFramer framer;
    const QByteArray chunk = utf16le(QString(10000, u'x') + u"a < b <Surt"_s);
    for (int i = 0; i < 100; ++i) {
        EXPECT_FALSE(framer.receive(chunk).sendOk);
        EXPECT_LE(framer.bufferedUnits(), 11);
    }
    EXPECT_EQ(framer.receive(utf16le(u"itles>x</Surtitles>"_s)).documents, QStringList{u"<Surtitles>x</Surtitles>"_s});
}

TEST(FeedFramerTest, ADocumentPastTheLimitIsDropped) {
    FeedFramer framer;
    framer.receive(utf16le(u"<Surtitles>"_s));
    const QByteArray chunk(1024 * 1024, 'a'); // "aa" is one code unit
    int drops = 0;
    for (qsizetype sent = 0; sent <= FeedFramer::MaxDocumentUnits * 2; sent += chunk.size())
        drops += framer.receive(chunk).droppedLongDocument;
    EXPECT_LE(framer.bufferedUnits(), FeedFramer::MaxDocumentUnits);
    EXPECT_EQ(drops, 1); // said once, for the log

    const FeedFramer::Result end = framer.receive(utf16le(u"</Surtitles>"_s));
    EXPECT_TRUE(end.documents.isEmpty());
    EXPECT_EQ(framer.receive(utf16le(DocA)).documents, QStringList{DocA});
}

TEST(FeedFramerTest, RandomBytesLeaveTheFramerWorking) {
    std::mt19937 random(99);
    FeedFramer framer;
    for (int round = 0; round < 2000; ++round) {
        QByteArray bytes(qsizetype(random() % 64), Qt::Uninitialized);
        for (char& b : bytes)
            b = char(random() % 4 == 0 ? "<S/>"[random() % 4] : random());
        framer.receive(bytes);
    }
    framer.clear();
    EXPECT_EQ(framer.receive(utf16le(DocA)).documents, QStringList{DocA});
}

} // namespace
