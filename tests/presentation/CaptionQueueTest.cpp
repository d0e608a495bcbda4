#include "presentation/CaptionQueue.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>
#include <vector>

using namespace Qt::Literals::StringLiterals;
using Overflow = CaptionQueue::Overflow;

namespace {

std::vector<QString> drain(CaptionQueue& queue) {
    std::vector<QString> documents;
    while (!queue.empty()) {
        documents.push_back(std::move(queue.front())); // as the presentation takes them
        queue.pop_front();
    }
    return documents;
}

struct Case {
    const char* name;
    qsizetype maxDocuments;
    qsizetype maxBytes;
    std::vector<QString> appended;
    std::vector<Overflow> outcomes;
    std::vector<QString> left;
};

class CaptionQueueBoundTest : public testing::TestWithParam<Case> {};

TEST_P(CaptionQueueBoundTest, TheOldestWaitingDocumentsGiveWay) {
    CaptionQueue queue(GetParam().maxDocuments, GetParam().maxBytes);
    std::vector<Overflow> outcomes;
    for (const QString& document : GetParam().appended)
        outcomes.push_back(queue.push_back(document));
    EXPECT_EQ(outcomes, GetParam().outcomes);
    EXPECT_LE(queue.bytes(), std::max<qsizetype>(GetParam().maxBytes, GetParam().appended.back().size() * 2));
    EXPECT_EQ(drain(queue), GetParam().left);
    EXPECT_EQ(queue.bytes(), 0);
}

INSTANTIATE_TEST_SUITE_P(Bounds, CaptionQueueBoundTest,
                         testing::ValuesIn(std::vector<Case>{
                             {"WithinBothBounds",
                              3,
                              100,
                              {u"a"_s, u"b"_s, u"c"_s},
                              {Overflow::None, Overflow::None, Overflow::None},
                              {u"a"_s, u"b"_s, u"c"_s}},
                             {"PastTheNumber",
                              3,
                              100,
                              {u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s},
                              {Overflow::None, Overflow::None, Overflow::None, Overflow::Started, Overflow::Continuing},
                              {u"c"_s, u"d"_s, u"e"_s}},
                             // 8 bytes each in UTF-16: the third passes 20 bytes.
                             {"PastTheBytes",
                              100,
                              20,
                              {u"aaaa"_s, u"bbbb"_s, u"cccc"_s},
                              {Overflow::None, Overflow::None, Overflow::Started},
                              {u"bbbb"_s, u"cccc"_s}},
                             {"ALargeDocumentTakesSeveralPlaces",
                              100,
                              20,
                              {u"a"_s, u"b"_s, u"c"_s, u"ddddddddd"_s},
                              {Overflow::None, Overflow::None, Overflow::None, Overflow::Started},
                              {u"c"_s, u"ddddddddd"_s}},
                             {"ADocumentBeyondTheBytesAloneStays",
                              100,
                              20,
                              {u"a"_s, u"b"_s, u"dddddddddddddddd"_s},
                              {Overflow::None, Overflow::None, Overflow::Started},
                              {u"dddddddddddddddd"_s}},
                         }),
                         [](const testing::TestParamInfo<Case>& info) { return info.param.name; });

TEST(CaptionQueueTest, AFloodIsReportedOnceUntilTheQueueHasEmptied) {
    CaptionQueue queue(1, 100);
    queue.push_back(u"a"_s);
    EXPECT_EQ(queue.push_back(u"b"_s), Overflow::Started);
    EXPECT_EQ(queue.push_back(u"c"_s), Overflow::Continuing);
    drain(queue);
    queue.push_back(u"d"_s);
    EXPECT_EQ(queue.push_back(u"e"_s), Overflow::Started);
    queue.clear();
    EXPECT_EQ(queue.bytes(), 0);
    queue.push_back(u"f"_s);
    EXPECT_EQ(queue.push_back(u"g"_s), Overflow::Started);
}

} // namespace
